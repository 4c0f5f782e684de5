#include "GfxTestSupport.h"
#include "Platform/Gfx/GlTexture.h"

#include <thread>

namespace {

using namespace Gfx;
using gfxtest::GlTest;

// Files are decoded on any thread; drawing calls and uploads from another thread are refused.
TEST_F(GlTest, TexturesDecodeOffThreadAndUploadOnFirstUse) {
    std::shared_ptr<Texture> texture, preloaded;
    int created = -1, drawn = -1, uploaded = -1;
    const std::string dds = gfxtest::MakeArgbDds(2, 2, {1, 2, 3, 4});
    std::thread worker([&] {
        created = device_->CreateTextureFromFileInMemory(dds.data(), dds.size(), texture);
        device_->CreateTextureFromFileInMemory(dds.data(), dds.size(), preloaded);
        drawn = device_->Clear(0);
        uploaded = preloaded->PreLoad();
    });
    worker.join();
    EXPECT_EQ(created, kOk);
    EXPECT_EQ(drawn, kErrInvalidCall);
    EXPECT_EQ(uploaded, kErrInvalidCall);
    EXPECT_EQ(device_->SetTexture(0, texture), kOk);
    EXPECT_EQ(device_->EvictManagedResources(), kOk);
    // Uploaded here, once; its pixels are gone.
    EXPECT_TRUE(preloaded->Data().hasPending);
    EXPECT_EQ(preloaded->PreLoad(), kOk);
    EXPECT_FALSE(preloaded->Data().hasPending);
    EXPECT_TRUE(preloaded->Data().pending.rgba.empty());
    EXPECT_NE(preloaded->Data().texture, 0u);
    EXPECT_EQ(preloaded->PreLoad(), kOk);
}

} // namespace
