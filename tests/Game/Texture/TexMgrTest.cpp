#include "Game/Exception.h"
#include "Game/Log.h"
#include "TexMgrTestSupport.h"
#include "support/ThrownText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::ElementsAre;
using textest::CountingCreator;
using textest::TextureTree;

class TexMgrTest : public ::testing::Test {
protected:
    TextureTree tree_;
    CountingCreator creator_;
    TexMgr manager_{creator_.Creator()};
};

// One object per path, loaded and logged once; failed loads are retried and logged each
// time; the empty path is none, without a line.
TEST_F(TexMgrTest, LoadsOnceAndRetriesFailures) {
    tree_.Add("gfx/a.dds", "image a");
    tree_.Add("gfx/bad.dds", "bad bytes");
    test::LogTail tail;
    const auto first = manager_.Simple("gfx/a.dds");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager_.Simple("gfx/a.dds"), first);
    EXPECT_EQ(creator_.Created("image a"), 1);
    EXPECT_EQ(manager_.Simple(""), nullptr);
    EXPECT_EQ(manager_.Pano(""), nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(manager_.Simple("gfx/missing.dds"), nullptr);
        EXPECT_EQ(manager_.Pano("gfx/bad.dds"), nullptr);
    }
    EXPECT_EQ(creator_.Created("bad bytes"), 2);
    EXPECT_THAT(tail.Lines(),
                ElementsAre("Loaded texture 'gfx/a.dds'", "Cannot open file 'gfx/missing.dds'",
                            "Failed to load texture 'gfx/missing.dds'",
                            "Failed to load texture 'gfx/bad.dds'",
                            "Cannot open file 'gfx/missing.dds'",
                            "Failed to load texture 'gfx/missing.dds'",
                            "Failed to load texture 'gfx/bad.dds'"));
}

TEST_F(TexMgrTest, FlatAndCubeCachesAreSeparateAndForgettable) {
    tree_.Add("sky.dds", "sky");
    const auto flat = manager_.Simple("sky.dds");
    const auto cube = manager_.Pano("sky.dds");
    ASSERT_NE(flat, nullptr);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(creator_.Created("sky"), 2);

    manager_.ForgetSimple("sky.dds");
    manager_.ForgetSimple("never.dds");
    EXPECT_EQ(manager_.Pano("sky.dds"), cube);
    EXPECT_NE(manager_.Simple("sky.dds"), flat);
    EXPECT_EQ(creator_.Created("sky"), 3);
    manager_.ForgetPano("sky.dds");
    EXPECT_NE(manager_.Pano("sky.dds"), cube);
}

void LoadTextures(TexMgr& manager, const std::string& stripes) {
    const XmlDom::Document document =
        XmlDom::LoadString("<korvantine><textures>" + stripes + "</textures></korvantine>");
    manager.LoadList(XmlDom::Child(XmlDom::Root(document), "textures"));
}

TEST(TexMgrStripes, FramesOfFragmentsDefaultsAndRedefinitions) {
    struct Case {
        const char* name;
        const char* xml;
        const char* frames; // "src x y" of each frame, and the frame size
    };
    const Case cases[] = {
        {"run of frames",
         R"(<stripe name="s" src="t.dds" length="3" width="64" height="32">)"
         R"(<fragment frame="2" length="2" x="10" y="20"/></stripe>)",
         " 0 0, t.dds 10 20, t.dds 74 20, (64x32)"},
        {"defaults and own source",
         R"(<stripe name="s" width="8" height="8"><fragment frame="1" x="1" y="2"/></stripe>)"
         R"(<stripe name="s" length="2" width="8" height="9">)"
         R"(<fragment frame="2" src="u.dds" x="3" y="4"/></stripe>)",
         " 1 2, u.dds 3 4, (8x9)"},
        {"later fragments overwrite",
         R"(<stripe name="s" src="a" length="2" width="5" height="5">)"
         R"(<fragment frame="1" length="2" x="0" y="0"/>)"
         R"(<fragment frame="2" src="b" x="7" y="1"/></stripe>)",
         "a 0 0, b 7 1, (5x5)"},
        {"frame 0 keeps its in-range frames",
         R"(<stripe name="s" src="a" length="3" width="10" height="5">)"
         R"(<fragment frame="0" length="2" x="0" y="0"/></stripe>)",
         "a 10 0,  0 0,  0 0, (10x5)"},
        {"run past the end is cut",
         R"(<stripe name="s" src="a" length="3" width="10" height="5">)"
         R"(<fragment frame="3" length="5" x="0" y="0"/>)"
         R"(<fragment frame="-7" length="2000000000" x="1" y="1"/>)"
         R"(<fragment frame="2147483647" length="2" x="0" y="0"/></stripe>)",
         "a 81 1, a 91 1, a 101 1, (10x5)"},
        {"shorter redefinition shrinks",
         R"(<stripe name="s" src="a" length="4" width="1" height="1">)"
         R"(<fragment frame="1" length="4" x="0" y="0"/></stripe>)"
         R"(<stripe name="s" length="2" width="1" height="1"/>)",
         "a 0 0, a 1 0, (1x1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingCreator creator;
        TexMgr manager(creator.Creator());
        LoadTextures(manager, c.xml);
        const TexMgr::Stripe stripe = manager.GetStripe("s");
        std::string frames;
        for (const TexMgr::Frame& frame : stripe.frames) {
            frames +=
                frame.src + " " + std::to_string(frame.x) + " " + std::to_string(frame.y) + ", ";
        }
        EXPECT_EQ(frames + "(" + std::to_string(stripe.width) + "x" +
                      std::to_string(stripe.height) + ")",
                  c.frames);
    }
}

TEST_F(TexMgrTest, FaultyStripesAreConfigurationErrors) {
    const struct {
        const char* xml;
        const char* text;
    } cases[] = {
        {R"(<stripe name="s" length="-1" width="1" height="1"/>)",
         "Configuration error: \n  Attribute 'length' out of range (0 to 65536) at stripe 's'"},
        {R"(<stripe name="s" length="65537" width="1" height="1"/>)",
         "Configuration error: \n  Attribute 'length' out of range (0 to 65536) at stripe 's'"},
        {R"(<stripe width="1" height="1"/>)",
         "Configuration error: \n  Attribute 'name' not found at stripe"},
        {R"(<stripe name="s" height="1"/>)",
         "Configuration error: \n  Attribute 'width' not found at stripe"},
        {R"(<stripe name="s" width="1" height="1"><fragment frame="1" x="0"/></stripe>)",
         "Configuration error: \n  Attribute 'y' not found at fragment"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(test::ThrownText([&] { LoadTextures(manager_, c.xml); }), c.text);
    }
    EXPECT_THROW(LoadTextures(manager_, R"(<stripe name="s" width="x1" height="1"/>)"),
                 std::exception);
    // An unknown stripe, or one whose definition failed, is an exception naming it.
    for (const std::string name : {"s", "nothing"}) {
        EXPECT_EQ(test::ThrownText([&] { manager_.GetStripe(name); }), "No stripe '" + name + "'");
    }
}

} // namespace
