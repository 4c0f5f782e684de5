#include "TexMgrTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

// The preload worker loads and forgets the textures of parts while the user interface asks
// for the same textures every frame: no race, and never two loads of one path at once.
TEST(TexMgrThreads, WorkerForgetsWhileTheInterfaceDraws) {
    textest::TextureTree tree;
    constexpr int kPaths = 200;
    for (int i = 0; i < kPaths; ++i) {
        tree.Add("gfx/t" + std::to_string(i) + ".dds", "texture " + std::to_string(i));
    }
    textest::CountingCreator creator;
    TexMgr manager(creator.Creator());

    std::thread worker([&] {
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < kPaths; ++i) {
                const std::string path = "gfx/t" + std::to_string(i) + ".dds";
                EXPECT_NE(manager.Simple(path), nullptr);
                manager.ForgetSimple(path);
            }
        }
    });
    for (int frame = 0; frame < 20; ++frame) {
        for (int i = 0; i < kPaths; i += 7) {
            EXPECT_NE(manager.Simple("gfx/t" + std::to_string(i) + ".dds"), nullptr);
        }
    }
    worker.join();
    EXPECT_EQ(creator.MostAtOnce(), 1);
    const auto kept = manager.Simple("gfx/t0.dds");
    EXPECT_EQ(manager.Simple("gfx/t0.dds"), kept);
}

} // namespace
