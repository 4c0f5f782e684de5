// Events pushed into the platform queue travel through the message loop into the devices
// of a real window, and come out as the game's per-frame batches.

#include "FrameInput.h"
#include "Platform/Input/DirectInput.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Platform/Window/EngineWnd.h"
#include "Platform/Window/NativeWindow.h"
#include "SdlEvents.h"

#include <SDL.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace Input;
using namespace test;

namespace {

using Batch = std::optional<std::vector<Record>>;

void Push(SDL_Event e) {
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

// The engine's frame as far as input goes: each idle turn takes the mouse's records, then
// the keyboard's, then runs what the script holds for that frame (pushing the events
// the next frame will see); after the last frame it posts quit.
class ScriptedFrames : public CIdleHandler {
public:
    explicit ScriptedFrames(int frames) : frames_(frames) {}

    bool OnIdle() override {
        mouseBatches.push_back(FrameRecords(*mouse));
        keyboardBatches.push_back(FrameRecords(*keyboard));
        if (auto it = script.find(frame_); it != script.end()) {
            it->second();
        }
        if (++frame_ == frames_) {
            PostQuitMessage(0);
        }
        return false;
    }

    std::map<int, std::function<void()>> script;
    std::vector<Batch> mouseBatches;
    std::vector<Batch> keyboardBatches;
    std::shared_ptr<Device> mouse;
    std::shared_ptr<Device> keyboard;

private:
    int frames_;
    int frame_ = 0;
};

class InputThroughLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
        ASSERT_EQ(input.CreateDevice(Device::Kind::Mouse, mouse), Ok);
        ASSERT_EQ(input.CreateDevice(Device::Kind::Keyboard, keyboard), Ok);
        ASSERT_EQ(mouse->SetCooperativeLevel(DISCL_EXCLUSIVE | DISCL_FOREGROUND), Ok);
        ASSERT_EQ(keyboard->SetCooperativeLevel(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), Ok);
        mouse->Acquire();
        keyboard->Acquire();
    }

    void Play(ScriptedFrames& frames) {
        frames.mouse = mouse;
        frames.keyboard = keyboard;
        loop.AddIdleHandler(&frames);
        EXPECT_EQ(loop.Run(), 0);
        loop.RemoveIdleHandler(&frames);
    }

    CCustomMessageLoop loop;
    EngineWnd window;
    DirectInput input;
    std::shared_ptr<Device> mouse;
    std::shared_ptr<Device> keyboard;
};

std::vector<OfsData> Delivered(const Batch& batch) {
    EXPECT_TRUE(batch.has_value());
    return batch ? OfsDataOf(*batch) : std::vector<OfsData>{};
}

} // namespace

// Forty-odd events in one frame all arrive, in order, in the next frame, more than the
// device hands out at once; motion runs are summed, keys go to the keyboard alone.
TEST_F(InputThroughLoop, ScriptedEventsBecomeTheFramesRecordsWithNoneLost) {
    ScriptedFrames frames(3);
    std::vector<OfsData> expected{{DIMOFS_X, 8}, {DIMOFS_Y, -3}};
    frames.script[0] = [&expected] {
        for (const SDL_Event& e : {Motion(5, -3), Key(SDL_SCANCODE_I, true), Motion(2, 0),
                                   Motion(1, 0), Key(SDL_SCANCODE_I, false)}) {
            Push(e);
        }
        for (int i = 0; i < 40; ++i) {
            const bool down = i % 2 == 0;
            const std::uint8_t button = i == 0 || i == 39 ? SDL_BUTTON_LEFT : SDL_BUTTON_MIDDLE;
            Push(Button(button, down));
            expected.push_back({button == SDL_BUTTON_LEFT ? DIMOFS_BUTTON0 : DIMOFS_BUTTON2,
                                down ? std::int32_t(Pressed) : 0});
        }
    };
    Play(frames);

    EXPECT_EQ(Delivered(frames.keyboardBatches[1]),
              (std::vector<OfsData>{{DIK_I, Pressed}, {DIK_I, 0}}));
    EXPECT_EQ(Delivered(frames.mouseBatches[1]), expected);
    EXPECT_TRUE(Delivered(frames.mouseBatches[2]).empty());
}

TEST_F(InputThroughLoop, FocusLeavesAndReturnsThroughWindowEvents) {
    const Uint32 id = SDL_GetWindowID(window.Native()->window);
    ScriptedFrames frames(4);
    bool focusedInBackground = true;
    frames.script[0] = [&] {
        Push(Focus(false, id));
        Push(Button(SDL_BUTTON_LEFT, true));
    };
    frames.script[1] = [&] {
        focusedInBackground = window.Focused();
        Push(Focus(true, id));
        Push(Button(SDL_BUTTON_LEFT, false)); // the click that brings the window forward
    };
    frames.script[2] = [] { Push(Button(SDL_BUTTON_RIGHT, false)); };
    Play(frames);

    EXPECT_FALSE(focusedInBackground);
    EXPECT_TRUE(window.Focused());
    EXPECT_FALSE(frames.mouseBatches[1].has_value()); // in the background
    EXPECT_FALSE(frames.keyboardBatches[1].has_value());
    EXPECT_FALSE(frames.mouseBatches[2].has_value()); // re-acquired, the click dropped
    EXPECT_EQ(Delivered(frames.mouseBatches[3]), (std::vector<OfsData>{{DIMOFS_BUTTON1, 0}}));
}
