#include "AudioTestSupport.h"
#include "Game/Log.h"
#include "Platform/Audio/Device.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace Audio;
using namespace std::chrono_literals;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value, 1);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Opens the device as start-up does and plays a looping buffer until its cursor moves.
void PlaysOnSdl() {
    std::unique_ptr<Device> device;
    ASSERT_EQ(Ok, Device::Create({}, &device));
    EXPECT_STREQ("dummy", device->DriverName());
    ASSERT_EQ(Ok, device->SetCooperativeLevel(nullptr, 3));
    ASSERT_EQ(Ok, device->CreatePrimaryBuffer(0x11));
    ASSERT_EQ(Ok, device->SetPrimaryFormat(test::Wfx(44100, 2, 16)));
    ASSERT_EQ(Ok, device->PlayPrimary(PlayLooping));
    test::RingStream stream(*device);
    ASSERT_EQ(Ok, stream.Buffer().Play(0, 0, PlayLooping));
    std::uint32_t play = 0;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (play == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
        ASSERT_EQ(Ok, stream.Buffer().GetCurrentPosition(&play, nullptr));
    }
    EXPECT_GT(play, 0u);
    EXPECT_TRUE(stream.Event().Wait(10s)); // the first block end, about 0.19 s in
}

// Without a usable driver the device falls back to silence and says so in the log.
TEST(AudioSdl, OpensPlaysAndClosesOrFallsBackToSilence) {
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        ScopedEnv env("SDL_AUDIODRIVER", driver);
        test::LogSince log;
        PlaysOnSdl();
        const auto lines = log.Lines();
        const bool fallback = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("No sound device (", 0) == 0;
        });
        EXPECT_EQ(fallback, std::string(driver) != "dummy");
    }
}

} // namespace
