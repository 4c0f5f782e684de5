#include "../Effects/EffectsGlFixture.h"
#include "../Sound/SoundFiles.h"
#include "Game/Exception.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"
#include "States/Video.h"
#include "Video/TheoraFile.h"
#include "VideoFiles.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// The shipped effects over a tree holding a ten-frame video at 25 frames per second, its
// first two frames brighter than the rest, and its subtitles.
class VideoGl : public fxtest::EffectsGl {
protected:
    void SetUp() override {
        EffectsGl::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        TheoraWriter::Params params;
        params.frames = 10;
        params.quality = 63;
        tree_.AddLoose(
            "video/ramp.ogg", videotest::FlatVideo(params, [](int i) {
                return videotest::Yuv{static_cast<std::uint8_t>(i < 2 ? 150 : 60), 100, 180};
            }));
        tree_.AddLoose("text/ramp.txt", "1000:hello\n");
        BuildEffects();
        ASSERT_EQ(device_->SetRenderTarget(0, Target(screen_)), Gfx::kOk);
    }

    // The rendered colour at a point of the 1024x768 screen, 0xRRGGBB.
    std::uint32_t At(std::uint32_t x, std::uint32_t y) {
        std::shared_ptr<Gfx::Surface> surface;
        EXPECT_EQ(screen_->GetSurfaceLevel(0, surface), Gfx::kOk);
        std::vector<std::uint32_t> texels;
        EXPECT_EQ(device_->ReadRenderTarget(*surface, texels), Gfx::kOk);
        return texels.empty() ? 0 : texels[y * 1024 + x] & 0xFFFFFF;
    }
    // The rendered colour near the screen's top-left corner.
    std::uint32_t Corner() { return At(10, 10); }

    std::shared_ptr<Gfx::Texture> screen_;
};

void ExpectColour(std::uint32_t rgb, int r, int g, int b) {
    EXPECT_NEAR(static_cast<int>(rgb >> 16), r, 5);
    EXPECT_NEAR(static_cast<int>((rgb >> 8) & 0xFF), g, 5);
    EXPECT_NEAR(static_cast<int>(rgb & 0xFF), b, 5);
}

// Y 150, U 100, V 180 in studio range is about (240, 124, 101) in RGB.
TEST_F(VideoGl, TheVideoEffectShowsTheDecodedFrameInColour) {
    TheoraFile file("video/ramp.ogg");
    file.UpdateSurface(*effects().video_.VideoSurface());
    ticks_ += 50;
    file.UpdateSurface(*effects().video_.VideoSurface());
    ASSERT_EQ(file.Frames(), 2u);
    Effect::FullScreen::Apply(effects().video_);
    ExpectColour(Corner(), 240, 124, 101);
}

TEST_F(VideoGl, VideoStatePlaysSkipsAndMovesOn) {
    auto video = std::make_shared<State::Video>();
    const auto doc = XmlDom::LoadString(
        "<korvantine><video name=\"intro\" src=\"video/ramp.ogg\" subtitles=\"text/ramp.txt\" "
        "timeout=\"5000\"><event name=\"exit\">exits = (exits or 0) + "
        "1</event></video></korvantine>");
    video->LoadCommon(XmlDom::Child(XmlDom::Root(doc), "video"), "p1");
    const auto exits = [&] { return test::EvalLua("exits or 0"); };
    const auto tickAt = [&](std::uint64_t ms) {
        ticks_ = ms;
        video->Tick();
    };

    for (const bool clockRan : {false, true}) {
        game().lua_.Execute("exits = 0");
        game().SetClockRunning(clockRan);
        game().SetSubtitle("");
        ticks_ = 10000;
        video->FireStart();
        EXPECT_EQ(game().cachet_, 0.25f);
        EXPECT_FALSE(game().ClockRunning());
        // Not yet active (as during a fade-in): the film plays but never exits.
        tickAt(10050);
        tickAt(10100);
        ExpectColour(Corner(), 240, 124, 101); // every visit starts at the first frame
        tickAt(16000);
        EXPECT_EQ(exits(), "0");
        EXPECT_EQ(game().subtitle_, "hello");
        video->FireActivate();
        tickAt(16001);
        EXPECT_EQ(exits(), "1");
        tickAt(16002);
        EXPECT_EQ(exits(), "2") << "a script that does not move leaves the state exiting";
        video->FireDeactivate();
        video->FireStop();
        EXPECT_EQ(game().cachet_, 0.0f);
        EXPECT_EQ(game().ClockRunning(), clockRan);
        EXPECT_EQ(game().subtitle_, "") << "the film's line leaves with it";
    }

    // Skipping: the secondary button's release or Escape's; the primary button, presses
    // and other keys do nothing.
    struct {
        bool leftHanded, keyboard;
        std::uint32_t offset, data;
        bool exits;
    } const inputs[] = {
        {false, false, State::kMouseButton1, 0, true},
        {false, false, State::kMouseButton0, 0, false},
        {false, false, State::kMouseButton1, State::kPressedBit, false},
        {true, false, State::kMouseButton0, 0, true},
        {true, false, State::kMouseButton1, 0, false},
        {false, true, Input::DIK_ESCAPE, 0, true},
        {false, true, Input::DIK_ESCAPE, State::kPressedBit, false},
        {false, true, State::kMouseButton1, 0, false},
        {false, false, Input::DIK_ESCAPE, 0, false},
    };
    for (const auto& in : inputs) {
        game().lua_.Execute("exits = 0");
        opts().mouseLeftHanded_ = in.leftHanded;
        State::InputRecord record;
        record.dwOfs = in.offset;
        record.dwData = in.data;
        video->Input(&record, 1, in.keyboard);
        EXPECT_EQ(exits(), in.exits ? "1" : "0") << in.offset << " " << in.keyboard;
    }
}

TEST_F(VideoGl, BadTimeoutsAndMissingFilmsFail) {
    const auto load = [](const std::string& attributes) {
        auto video = std::make_shared<State::Video>();
        const auto doc =
            XmlDom::LoadString("<korvantine><video name=\"v\" " + attributes + "/></korvantine>");
        video->LoadCommon(XmlDom::Child(XmlDom::Root(doc), "video"), "p1");
        return video;
    };
    for (const char* timeout : {"soon", "nan", "inf"}) {
        EXPECT_THAT([&] { load(std::string("src=\"a.ogg\" timeout=\"") + timeout + "\""); },
                    testing::ThrowsMessage<exception>(testing::StrEq("Bad timeout format")));
    }
}

// A film that cannot be opened, or that breaks in the middle, is logged once per visit; the
// state shows black (or the last good picture), and its subtitles, timeout and skip still
// work; its subtitle leaves with it.
TEST_F(VideoGl, AFilmThatCannotPlayIsLoggedAndSkipped) {
    TheoraWriter::Params params;
    params.frames = 10;
    params.quality = 63;
    // Every frame a little brighter than the one before (none is coded as a repeat); in the
    // corrupt film, frame 5's packet is a header packet where a frame belongs.
    const std::string good = videotest::FlatVideo(params, [](int i) {
        return videotest::Yuv{static_cast<std::uint8_t>(40 + 5 * i), 100, 180};
    });
    tree_.AddLoose("video/vorbis.ogg", test::OggBytes(2, 44100, 20000));
    tree_.AddLoose("video/cut.ogg", good.substr(0, 200));
    tree_.AddLoose("video/corrupt.ogg",
                   TheoraWriter::RewritePackets(good, [](std::int64_t number, std::string& packet) {
                       if (number == 3 + 5 && !packet.empty()) {
                           packet[0] = static_cast<char>(packet[0] | 0x80);
                       }
                   }));
    const struct {
        const char* src;
        const char* reason;
        int r, g, b; // the picture shown: black, or the last good frame 4 (Y 60, U 100, V 180)
    } films[] = {
        {"video/none.ogg", "eof searched, terminate...", 0, 0, 0},
        {"video/vorbis.ogg", "eof searched. terminate...", 0, 0, 0},
        {"video/cut.ogg", "eof searched, terminate...", 0, 0, 0},
        {"video/corrupt.ogg", "error during theora_decode_packetin...", 135, 19, 0},
    };
    for (const auto& film : films) {
        SCOPED_TRACE(film.src);
        auto video = std::make_shared<State::Video>();
        const auto doc = XmlDom::LoadString(
            std::string("<korvantine><video name=\"v\" src=\"") + film.src +
            "\" subtitles=\"text/ramp.txt\" timeout=\"2000\"><event name=\"exit\">exits = "
            "(exits or 0) + 1</event></video></korvantine>");
        video->LoadCommon(XmlDom::Child(XmlDom::Root(doc), "video"), "p1");
        for (int visit = 0; visit < 2; ++visit) {
            game().lua_.Execute("exits = 0");
            test::LogSince log;
            ticks_ = 10000;
            EXPECT_NO_THROW(video->FireStart());
            video->FireActivate();
            for (std::uint64_t t = 10000; t <= 11500; t += 40) {
                ticks_ = t;
                EXPECT_NO_THROW(video->Tick());
            }
            EXPECT_EQ(
                log.Count(std::string("Cannot play video '") + film.src + "': " + film.reason), 1);
            EXPECT_EQ(game().subtitle_, "hello");
            EXPECT_EQ(test::EvalLua("exits"), "0");
            ExpectColour(Corner(), film.r, film.g, film.b);
            ticks_ = 12001;
            video->Tick();
            EXPECT_EQ(test::EvalLua("exits"), "1") << "the timeout";
            State::InputRecord escape;
            escape.dwOfs = Input::DIK_ESCAPE;
            video->Input(&escape, 1, true);
            EXPECT_EQ(test::EvalLua("exits"), "2") << "Escape";
            video->FireDeactivate();
            video->FireStop();
            EXPECT_EQ(game().subtitle_, "") << "the subtitle leaves with the video";
        }
    }
}

} // namespace
