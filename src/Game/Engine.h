#pragma once

#include "Game/MissingPicture.h"
#include "Platform/Window/CIdleHandler.h"
#include "Platform/Window/IdleRegistration.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Gfx {
class Surface;
class Texture;
} // namespace Gfx
namespace State {
class Base;
}
class Mouse;
class Keyboard;

// The frame pipeline: every idle turn of the message loop becomes one frame. The engine owns
// the 1024x768 screen texture the scene is drawn into, the mouse and the keyboard, and the
// fixed order of the frame's stages: test the device, hand the input to the current state,
// draw the state into the screen texture, lay the mask and the film look over it, run the
// final pass into the back buffer, draw the inventory bar, the cursor, the subtitle, the
// debug text and the console, present, update the sound and carry out a pending move.
// When the final pass would only copy the picture (the plain look at rest) and the state
// covers every pixel, the state is drawn straight into the back buffer instead: the same
// frame without the screen texture and the final pass.
class Engine : public CIdleHandler {
public:
    static constexpr unsigned kWidth = 1024;
    static constexpr unsigned kHeight = 768;
    // Subtitles, debug text and console.
    static constexpr std::uint32_t kTextColour = 0xFFCCCCCC;

    // Registers with the thread's message loop, creates the input devices and the screen
    // texture, and loads the game definition (which starts the first part). Logs
    // "Initializing DirectX" and "Initializing game data". An exception leaves nothing
    // registered.
    Engine();
    // Logs "Deinitializing game data", leaves the message loop and releases the devices.
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // One frame: nothing while the device is lost; else input, mouse before keyboard, then
    // Render. Answers false (the loop ignores it).
    bool OnIdle() override;

    // Whether the device can draw this frame; a device that needs a reset is reset here
    // ("Device not reset") and the frame goes on when it then answers.
    bool CheckDevice();
    // Before a reset: the effects', the sprite's and the font's hooks; the screen texture
    // is released.
    void OnLostDevice();
    // Every frame the device can draw: no culling, the sprite's and the font's hooks; after
    // a loss (and once at start) first the screen texture and the effects' hooks, which
    // make their targets anew. A steady frame allocates nothing.
    void OnResetDevice();
    // The mouse, the keyboard and the screen texture.
    void InitDirectX();
    // The stages of a drawn frame; throws when there is no current state.
    void Render();

    // The final pass's gamma for a brightness: 1 / (1.6 x + 0.2) with x clamped to [0, 1].
    static float FullWeight(float brightness);
    // Frames per second from two performance-counter readings; 0 unless end > start.
    static std::int32_t FrameRate(std::int64_t frequency, std::int64_t start, std::int64_t end);

    // The rate of the last rendered frame; 0 before the first.
    std::int32_t Fps() const { return rate_; }
    const std::shared_ptr<Gfx::Texture>& ScreenTexture() const { return scTex_; }
    Mouse& GetMouse() { return *mouse_; }
    Keyboard& GetKeyboard() { return *keyboard_; }

    // Test hook: called with each stage's name as the stage begins.
    void ObserveStages(std::function<void(const char*)> observer) {
        observer_ = std::move(observer);
    }

private:
    void Stage(const char* name);
    void RenderMask();
    // The film look; answers the texture the final pass blends with.
    std::shared_ptr<Gfx::Texture> RenderFilm(std::shared_ptr<Gfx::Texture> texture);
    void RenderCinema(std::shared_ptr<Gfx::Texture>& texture);
    // Whether the final pass, as the game stands, would copy the screen picture unchanged:
    // the plain look without mask, exposure, cachet or HDR, at gamma 1.
    bool FinalPassIsCopy();
    void RenderFull(const std::shared_ptr<Gfx::Texture>& texture, float now);
    void RenderToppings(State::Base& state, float now);
    void DrawSubtitles();
    void DrawDebug(const State::Base& state);
    void DrawConsole();
    void DrawText(const std::string& text, int left, int top, int right, int bottom,
                  std::uint32_t format, const char* what);

    std::shared_ptr<Gfx::Surface> scSurf_;
    std::shared_ptr<Gfx::Texture> scTex_;
    const std::string noisePath_ = "gfx/common/noise.dds";
    const std::string cloudsPath_ = "gfx/common/clouds.dds";
    const std::string blurMaskPath_ = "gfx/common/blurmask.dds";
    const std::string maskPath_ = "gfx/part1/capsule/p1_capsule_mask.dds";
    // The common pictures of the final pass, drawn in every frame: a failed one is asked for
    // once.
    MissingPicture noiseMissing_, cloudsMissing_, blurMaskMissing_, maskMissing_;
    std::int32_t rate_ = 0;
    std::shared_ptr<Mouse> mouse_;
    std::shared_ptr<Keyboard> keyboard_;
    // The screen texture and the effects' targets are gone until the next OnResetDevice.
    bool lost_ = true;
    std::function<void(const char*)> observer_;
    // Last, so that it is the first member to go: the loop stops calling before anything
    // else is released.
    IdleRegistration registration_{*this};
};
