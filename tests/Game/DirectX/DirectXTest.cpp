// The device wrapper on SDL's offscreen driver, with the graphics layer's capability hook
// standing in for other adapters.
#include "Game/DirectX.h"

#include "Game/Exception.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Audio/Device.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/System.h"
#include "Platform/Input/DirectInput.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

class DirectXTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Whatever the caller chose wins; headless by default.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        g_opts = new Opts::Data;
        g_opts->windowed_ = true;
    }
    void TearDown() override {
        Gfx::System::OverrideCapsForTests(nullptr);
        delete g_opts;
        g_opts = nullptr;
    }

    CCustomMessageLoop loop_;
};

TEST_F(DirectXTest, CreatesEveryDeviceAndHandsOutNewReferences) {
    test::LogSince log;
    {
        ScopedGlobal<DirectX> holder(g_dx);
        ASSERT_NE(g_dx, nullptr);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"CreateWindow"});

        EXPECT_EQ(dx().device().use_count(), 3)
            << "the object's own, the one published for drawing, and this one";
        EXPECT_TRUE(dx().sprite() && dx().font() && dx().dinput() && dx().sound());
        EXPECT_TRUE(dx().wnd().IsWindow());
    }
    EXPECT_EQ(g_dx, nullptr);
    EXPECT_EQ(log.Count("Destroying window"), 1);
}

// The behaviour flags follow the adapter and nomultithread; the primary buffer's flags
// follow the mixer placement ("soft" asks for hardware placement).
TEST_F(DirectXTest, BehaviourAndPrimaryBufferFlags) {
    struct Case {
        const char* name;
        std::optional<Gfx::Caps> caps; // none: the real adapter (OpenGL 3.3 core)
        bool nomultithread;
        std::int32_t mixer;
        std::uint32_t behaviour;
        std::uint32_t primary;
    };
    const Case cases[] = {
        {"real adapter", std::nullopt, false, Opts::kPlacementAuto, 0x40 | 0x4, 0x11},
        {"no hardware transform", Gfx::Caps{2, 0, false}, false, Opts::kPlacementSoft, 0x20 | 0x4,
         0x15},
        {"nomultithread", Gfx::Caps{3, 0, true}, true, Opts::kPlacementHard, 0x40, 0x19},
        {"both", Gfx::Caps{2, 0, false}, true, Opts::kPlacementAuto, 0x20, 0x11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Gfx::System::OverrideCapsForTests(c.caps ? &*c.caps : nullptr);
        opts().nomultithread_ = c.nomultithread;
        opts().soundMixer_ = c.mixer;
        ScopedGlobal<DirectX> holder(g_dx);
        EXPECT_EQ(dx().device()->BehaviourFlags(), c.behaviour);
        EXPECT_EQ(dx().caps().vertexProcessing | dx().caps().multithreading, c.behaviour);
        EXPECT_EQ(dx().sound()->PrimaryFlags(), c.primary);
    }
}

// The start-up's protected block with the holder: a device without pixel shaders 2.0 ends
// the run with the location text in the log, the window destroyed and the error reported.
TEST_F(DirectXTest, PixelShaderBelowTwoEndsTheStartup) {
    const Gfx::Caps old{1, 4, true};
    Gfx::System::OverrideCapsForTests(&old);
    test::LogSince log;
    std::string error;
    const int status = RunProtected(
        [] {
            ScopedGlobal<DirectX> holder(g_dx);
            return 0;
        },
        error);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(error, "Unknown exception");
    EXPECT_EQ(g_dx, nullptr);
    const std::vector<std::string> expected = {
        "CreateWindow",
        "\tAt .\\Game\\DirectX",
        "\tOn D3DSHADER_VERSION_MAJOR ( caps.PixelShaderVersion ) >= 2",
        "Device does not support pixel shaders version 2.0",
        "Destroying window",
    };
    EXPECT_EQ(log.Lines(), expected);
}

} // namespace
