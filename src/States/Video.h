#pragma once

#include "States/Base.h"
#include "States/SubtitleTrack.h"

#include <memory>
#include <string>

class TheoraFile;

namespace State {

// A video played full screen with its subtitles, for the time its definition gives. The
// game clock is paused and the final pass gets the film look while it plays. It never moves
// by itself: when its time is up, or the player skips it (Escape, or a release of the
// secondary mouse button), it fires "exit", whose script moves on.
class Video : public Base {
public:
    // "src" (required): the film; "subtitles": the subtitle file, read now; "timeout"
    // (required): ms after the start at which "exit" fires.
    void Load(const XmlDom::Element& element) override;
    // Opens the film when none is open.
    void Prepare() override;
    // Opens the film anew, so every visit plays from its beginning, and restarts the
    // subtitles; sets the film look and pauses the game clock.
    void Start() override;
    // Clears the film look and the subtitle, and lets the clock run again if it ran at the
    // start. The film stays open until the next start.
    void Stop() override;
    // Draws the frame due now, shows the due subtitles, and once active and past the
    // timeout fires "exit" (on every frame while the state stays).
    void Render() override;
    void Input(const InputRecord* records, int count, bool keyboard) override;
    bool ShowCursor() override { return false; }
    bool ShowInventory() override { return false; }

    // Fires "exit".
    void Exit();

private:
    std::shared_ptr<TheoraFile> decoder_;
    std::string src_;
    float timeout_ = 0.0f;
    bool clockWasRunning_ = false;
    SubtitleTrack subtitles_;
};

} // namespace State
