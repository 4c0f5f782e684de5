#include "GfxTestSupport.h"

#include <thread>

namespace {

using namespace Gfx;
using gfxtest::GlTest;

// Files are decoded on any thread; drawing calls from another thread are refused.
TEST_F(GlTest, TexturesDecodeOffThreadAndUploadOnFirstUse) {
    std::shared_ptr<Texture> texture;
    int created = -1, drawn = -1;
    const std::string dds = gfxtest::MakeArgbDds(2, 2, {1, 2, 3, 4});
    std::thread worker([&] {
        created = device_->CreateTextureFromFileInMemory(dds.data(), dds.size(), texture);
        drawn = device_->Clear(0);
    });
    worker.join();
    EXPECT_EQ(created, kOk);
    EXPECT_EQ(drawn, kErrInvalidCall);
    EXPECT_EQ(device_->SetTexture(0, texture), kOk);
    EXPECT_EQ(device_->EvictManagedResources(), kOk);
}

} // namespace
