#include "../Effects/EffectsGlFixture.h"
#include "Game/Exception.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"
#include "States/Video.h"
#include "Video/TheoraFile.h"
#include "VideoFiles.h"
#include "support/GameFixture.h"

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

    // The rendered colour at the screen's top-left corner, 0xRRGGBB.
    std::uint32_t Corner() {
        std::shared_ptr<Gfx::Surface> surface;
        EXPECT_EQ(screen_->GetSurfaceLevel(0, surface), Gfx::kOk);
        std::vector<std::uint32_t> texels;
        EXPECT_EQ(device_->ReadRenderTarget(*surface, texels), Gfx::kOk);
        return texels.empty() ? 0 : texels[10 * 1024 + 10] & 0xFFFFFF;
    }

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
    EXPECT_THROW(load("src=\"video/none.ogg\" timeout=\"1\"")->FireStart(), std::runtime_error);
}

} // namespace
