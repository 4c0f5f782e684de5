#include "TexMgrTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

// The preload worker loads and forgets the textures of parts while the user interface asks
// for the same textures every frame and takes the preloaded ones for upload: no race, and never
// two loads of one path at once.
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
                if (round == 1) {
                    manager.PreloadSimple(path, i % 2 == 0);
                } else {
                    EXPECT_NE(manager.Simple(path), nullptr);
                }
                manager.ForgetSimple(path);
            }
        }
    });
    for (int frame = 0; frame < 20; ++frame) {
        for (int i = 0; i < kPaths; i += 7) {
            const std::string path = "gfx/t" + std::to_string(i) + ".dds";
            EXPECT_NE(i % 2 == 0 ? manager.Background(path) : manager.Simple(path), nullptr);
        }
        manager.UploadQueued(2);
    }
    worker.join();
    EXPECT_EQ(creator.MostAtOnce(), 1);
    const auto kept = manager.Simple("gfx/t0.dds");
    EXPECT_EQ(manager.Simple("gfx/t0.dds"), kept);
}

} // namespace
