#include "Platform/Window/FrameRect.h"

#include <gtest/gtest.h>

TEST(FrameRect, TheFrameIsTheLargestCentred4By3Rectangle) {
    struct Case {
        int width, height;
        int x, y, w, h;
    };
    const Case cases[] = {
        {1024, 768, 0, 0, 1024, 768},     // exactly the frame
        {1920, 1080, 240, 0, 1440, 1080}, // wide: bars left and right
        {1280, 1024, 0, 32, 1280, 960},   // tall: bars above and below
        {2048, 1536, 0, 0, 2048, 1536},   // scaled up without bars
        {1025, 768, 0, 0, 1024, 768},     // an odd spare column stays on the right
        {0, 768, 0, 0, 0, 0},
        {1024, -1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Platform::Rect r = Platform::LetterboxRect(c.width, c.height);
        EXPECT_EQ(r.x, c.x) << c.width << "x" << c.height;
        EXPECT_EQ(r.y, c.y) << c.width << "x" << c.height;
        EXPECT_EQ(r.width, c.w) << c.width << "x" << c.height;
        EXPECT_EQ(r.height, c.h) << c.width << "x" << c.height;
    }
}
