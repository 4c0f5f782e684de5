#include "../../FileSystem/FileSystemFixture.h"
#include "../../Platform/Gfx/GfxTestSupport.h"
#include "FileSystem/Locator.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/GlTexture.h"
#include "support/gl/GameOnDevice.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

class TexMgrGl : public test::GameOnDevice {
protected:
    void SetUp() override {
        GameOnDevice::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        for (const char* path : {"a.dds", "b.dds", "c.dds", "d.dds"}) {
            tree_.AddLoose(path, gfxtest::MakeArgbDds(4, 4, gfxtest::Pattern(16)));
        }
        Locator::Instance().Init(tree_.Root().string());
    }

    bool Uploaded(const std::string& path) { return !GetTexMgr().Simple(path)->Data().hasPending; }

    test::GameTree tree_;
};

// The preload's textures are uploaded a few per frame, oldest first, and their pixels freed;
// one forgotten meanwhile is passed over, and one uploaded by its first use counts no more.
TEST_F(TexMgrGl, PreloadedTexturesUploadAFewAtATimeInOrder) {
    TexMgr& manager = GetTexMgr();
    std::thread worker([&manager] {
        for (const char* path : {"a.dds", "b.dds", "c.dds", "d.dds"}) {
            manager.PreloadSimple(path, false);
        }
    });
    worker.join();
    manager.ForgetSimple("b.dds");
    ASSERT_EQ(device_->SetTexture(0, manager.Simple("c.dds")), Gfx::kOk);

    manager.UploadQueued(1);
    EXPECT_TRUE(Uploaded("a.dds"));
    EXPECT_FALSE(Uploaded("d.dds"));
    manager.UploadQueued(1); // b is gone, c was uploaded when it was set: d's turn
    EXPECT_TRUE(Uploaded("d.dds"));
    EXPECT_TRUE(manager.Simple("d.dds")->Data().pending.rgba.empty());
    manager.UploadQueued(5); // nothing left
    EXPECT_FALSE(Uploaded("b.dds")) << "loaded again, not preloaded";
}

} // namespace
