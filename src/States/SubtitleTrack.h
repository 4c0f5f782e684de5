#pragma once

#include <map>
#include <string>
#include <vector>

namespace State {

// The lines of a subtitle file by their time in ms from the start of the state, and the next
// line to show. A state that plays subtitles holds one, fills it while its definition loads
// (Base::LoadSubtitles), restarts it when it starts and hands the lines that are due to the
// game once per frame (Base::UpdateSubtitles).
class SubtitleTrack {
public:
    using Lines = std::map<float, std::string>;

    // A line of the file that holds a colon but no good time: its number (from 1) and why.
    struct BadLine {
        int number = 0;
        std::string reason;
        bool operator==(const BadLine&) const = default;
    };

    SubtitleTrack() = default;
    // The position points into the track's own lines, so a track is never copied.
    SubtitleTrack(const SubtitleTrack&) = delete;
    SubtitleTrack& operator=(const SubtitleTrack&) = delete;

    // Adds the entries of a subtitle file's text: each line holding a colon is the time
    // (an unsigned decimal integer and nothing else) before the first colon and the text
    // after it, where "\n" as written becomes a line break. Lines end at LF, CR LF or CR;
    // a byte-order mark at the start is no part of the first line; lines without a colon
    // are skipped; an entry whose time is already taken is dropped. A line whose time is
    // not such a number (empty, signed, spaced, a fraction, 2^32 or more) is skipped too,
    // and answered, so that one mistake costs that line and not the others.
    std::vector<BadLine> Parse(const std::string& text);
    // The next line to show becomes the first.
    void Restart() { position_ = lines_.begin(); }
    // Hands every line whose time is strictly before `elapsed` and was not handed since
    // the last restart to `show`, in time order.
    template <typename Show>
    void Update(float elapsed, Show&& show) {
        while (position_ != lines_.end() && position_->first < elapsed) {
            show(position_->second);
            ++position_;
        }
    }

    const Lines& GetLines() const { return lines_; }

private:
    // Declared before the lines so it starts at their end: an unrestarted track shows nothing.
    Lines lines_;
    Lines::const_iterator position_ = lines_.end();
};

} // namespace State
