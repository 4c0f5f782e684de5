#pragma once

#include "Game/Log.h"
#include "Platform/Audio/AudioTestSupport.h"
#include "Platform/Audio/Buffer.h"
#include "Sound/Manager.h"
#include "SoundFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace test {

// A sound manager on the fixture's device with a clock of the test's own; the settings'
// sound volume is 1 and the music volume 0.5 (music at 0.35 after the manager's factor).
class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() : manager_([this] { return now_; }) {
        opts().soundVolume_ = 1.0f;
        opts().musicVolume_ = 0.5f;
    }

    // Advances the clock by `ms`, mixes `frames` frames, then runs the frame update.
    void Frame(float ms, std::size_t frames = 1024) {
        now_ += ms;
        Render(fixture_.Device(), frames);
        manager_.Update(now_);
    }
    // Frames of 1024 mixed frames (23 ms) until the sound stops; false when it never does.
    bool PlayOut(const std::string& src) {
        for (int k = 0; k < 400; ++k) {
            if (!manager_.Find(src)->IsPlaying()) {
                return true;
            }
            Frame(23.0f);
        }
        return false;
    }
    std::uint32_t Position(const std::string& src) {
        std::uint32_t play = 0;
        manager_.Find(src)->Buffer().GetCurrentPosition(&play, nullptr);
        return play;
    }
    bool Looping(const std::string& src) {
        std::uint32_t status = 0;
        manager_.Find(src)->Buffer().GetStatus(&status);
        return (status & Audio::Status::Looping) != 0;
    }
    float Volume(const std::string& src) { return manager_.Find(src)->Volume(); }

    SoundFixture fixture_;
    float now_ = 1000.0f;
    Sound::Manager manager_;
};

} // namespace test
