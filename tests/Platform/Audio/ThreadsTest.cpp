#include "AudioTestSupport.h"
#include "Platform/Audio/Device.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace Audio;
using namespace std::chrono_literals;

// The audio thread renders ten seconds of a streamed ring while the game thread refills it
// as notified and, on a playing static buffer, locks and writes, changes volume and
// position; a worker creates and fills buffers meanwhile. Under ThreadSanitizer this is
// race-free; the stream's output has no gap.
TEST(AudioThreads, GameThreadWritesWhileTheMixerPlays) {
    auto device = test::ManualDevice();
    test::RingStream stream(*device);
    auto effect = test::MakeBuffer(*device, 0x92, 8192);
    ASSERT_EQ(Ok, stream.Buffer().Play(0, 0, PlayLooping));
    ASSERT_EQ(Ok, effect->Play(0, 0, PlayLooping));
    ASSERT_EQ(Ok, effect->SetVolume(-10000)); // keeps the stream's output exact

    constexpr std::uint64_t total = 10 * 44100;
    std::atomic<bool> done{false};
    std::atomic<std::uint64_t> firstBad{total};
    std::thread audio([&] {
        std::uint64_t frame = 0;
        // The stand-in audio thread runs far faster than real time, so it waits while the
        // game thread is more than two blocks behind with its refills: a slow or descheduled
        // test thread must not look like a gap in the stream.
        constexpr std::uint64_t ahead =
            std::uint64_t{test::RingStream::Block} / 4 * (test::RingStream::Blocks - 2);
        while (frame < total) {
            while (stream.FilledFrames() < frame + ahead) {
                std::this_thread::sleep_for(100us);
            }
            const auto out = test::Render(*device, 1024);
            for (std::size_t i = 0; i < 1024 && frame < total; ++i, ++frame) {
                if (out[2 * i] != test::RingStream::SourceLeft(frame) ||
                    out[2 * i + 1] != test::RingStream::SourceRight(frame)) {
                    std::uint64_t expected = total;
                    firstBad.compare_exchange_strong(expected, frame);
                }
            }
            std::this_thread::sleep_for(2ms);
        }
        done = true;
    });
    std::thread worker([&] {
        while (!done) {
            auto buffer = test::MakeBuffer(*device, 0x82, 44100, 22050, 1, 16);
            test::Write(*buffer, 0, std::vector<std::uint8_t>(44100, 1));
            std::uint32_t status = 0;
            EXPECT_EQ(Ok, buffer->GetStatus(&status));
            std::this_thread::sleep_for(1ms);
        }
    });
    std::uint8_t fill = 0;
    while (!done) {
        stream.Update();
        void* p1 = nullptr;
        void* p2 = nullptr;
        std::uint32_t n1 = 0;
        std::uint32_t n2 = 0;
        ASSERT_EQ(Ok, effect->Lock(6000, 4096, &p1, &n1, &p2, &n2, 0));
        std::memset(p1, ++fill, n1);
        std::memset(p2, fill, n2);
        ASSERT_EQ(Ok, effect->Unlock(p1, n1, p2, n2));
        ASSERT_EQ(Ok, effect->SetPosition3D(fill % 2 ? 1.0f : -1.0f, 0, 0, 0));
        std::uint32_t play = 0;
        ASSERT_EQ(Ok, effect->GetCurrentPosition(&play, nullptr));
        std::this_thread::sleep_for(200us);
    }
    audio.join();
    worker.join();
    EXPECT_EQ(total, firstBad.load()) << "first frame off the source";
}

TEST(AudioThreads, EventWakesAWaitingThread) {
    Event event("SyncStream");
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        event.Set();
    });
    EXPECT_TRUE(event.Wait(10s));
    setter.join();
    EXPECT_TRUE(event.IsSet());
    event.Reset();
    EXPECT_FALSE(event.Wait(1ms));
}

} // namespace
