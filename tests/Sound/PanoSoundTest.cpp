// A panorama's sounds through the game's sound manager.

#include "Platform/Audio/AudioTestSupport.h"
#include "SoundFixture.h"
#include "States/Pano.h"
#include "support/GameFixture.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class PanoSoundTest : public test::GameFixture {
protected:
    PanoSoundTest() {
        opts().noidle_ = true;
        sound_.Add("sea.wav", test::StereoWave(test::Pattern(200000)));
        sound_.Add("bell.wav", test::StereoWave(test::Pattern(200000)));
        game().RegisterApi();
        game().map_.Load(XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString(
                R"(<korvantine><map autoload="p" menu="p"><part name="p" start="P" load="none")"
                R"( effect=""><sounds/><textures/><pano name="P" src="p.dds">)"
                R"(<sound src="sea.wav" course="1.5707964" pitch="0" min="0.1"/>)"
                R"(<sound src="bell.wav" course="0" pitch="0"/></pano></part></map></korvantine>)")),
            "map"));
        pano_ = std::dynamic_pointer_cast<State::Pano>(game().map_.GetState("P"));
    }

    // A frame of the panorama, then the manager's fades 100 ms later.
    void Frame() {
        Advance(20);
        pano_->Tick();
        Advance(100);
        game().sound_.Update(game().Time());
    }

    // How much louder the right channel plays than the left.
    float RightOverLeft() {
        const std::vector<std::int16_t> mixed = test::Render(sound_.Device(), 4096);
        double left = 0, right = 0;
        for (std::size_t i = 0; i + 1 < mixed.size(); i += 2) {
            left += std::abs(mixed[i]);
            right += std::abs(mixed[i + 1]);
        }
        return float(right / std::max(left, 1.0));
    }

    test::SoundFixture sound_;
    std::shared_ptr<State::Pano> pano_;
};

// The sounds on fade in at the start; a one-shot sound preloaded without the loop switches
// itself off. The volume falls from max toward min as the view turns away, the position pans
// with the view, "set_sound" fades a sound out, and the stop fades every sound out while
// keeping the on flags.
TEST_F(PanoSoundTest, VolumeAndPanFollowTheView) {
    Sound::Manager& manager = game().sound_;
    manager.Load(SoundDef{"bell.wav", 0}, false);
    game().map_.SetState("P");
    EXPECT_FALSE(pano_->Sounds().at("bell.wav").on_);
    EXPECT_FALSE(manager.IsFading("bell.wav"));
    ASSERT_TRUE(manager.IsFading("sea.wav"));
    const Sound::Base& sea = *manager.FindStatic("sea.wav");

    const struct {
        float course, volume, pan; // pan: right over left, > 1 to the right
    } cases[] = {{0.5f * kPi, 1.0f, 1}, {0, 0.55f, 2}, {kPi, 0.55f, 0.5f}, {1.5f * kPi, 0.1f, 1}};
    for (const auto& c : cases) {
        pano_->SetView(c.course, 0);
        Frame();
        EXPECT_NEAR(sea.Volume(), c.volume * manager.SoundVolume(), 1e-4f) << c.course;
        const float pan = RightOverLeft();
        if (c.pan > 1) {
            EXPECT_GT(pan, 1.5f) << c.course;
        } else if (c.pan < 1) {
            EXPECT_LT(pan, 0.67f) << c.course;
        }
    }

    game().lua_.Execute("set_sound('sea.wav', 0)");
    for (int i = 0; i < 10; ++i) {
        Frame();
    }
    EXPECT_FALSE(sea.IsPlaying());
    EXPECT_FALSE(pano_->Sounds().at("sea.wav").on_);

    game().lua_.Execute("set_sound('sea.wav', 1)");
    Frame();
    EXPECT_TRUE(sea.IsPlaying());
    pano_->FireDeactivate();
    pano_->FireStop();
    for (int i = 0; i < 10; ++i) {
        Advance(120);
        manager.Update(game().Time());
    }
    EXPECT_FALSE(sea.IsPlaying());
    EXPECT_TRUE(pano_->Sounds().at("sea.wav").on_);
    RenewGame();
}

} // namespace
