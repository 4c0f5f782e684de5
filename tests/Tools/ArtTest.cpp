// The demo's pictures as the art generator draws them: labels whole, and pictures that agree
// with what the game's texts say of them.
#include "DemoArt/Art.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

float Luminance(const Color& c) {
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

// A label is the same picture as its characters drawn one by one at their advances. The
// font stops without an error when its buffer is full, so a cut label only loses its last
// strokes: the labels the demo once lost, and the densest characters many times over. Each
// character is drawn with trailing spaces, which draw nothing but give a buffer sized by
// the length of the text ample room.
TEST(ArtTest, LabelsAreDrawnWhole) {
    std::string printable;
    for (char ch = ' '; ch <= '~'; ++ch) {
        printable += ch;
    }
    const Color ink = Rgb(255, 255, 255);
    for (const std::string& label :
         {std::string("Save game"), std::string("Back"), std::string("2"), std::string(40, '8'),
          std::string(40, '#'), printable}) {
        Canvas whole(2048, 32);
        Canvas pieces(2048, 32);
        whole.Text(4, 4, label, 2.0f, ink);
        float x = 4;
        for (const char ch : label) {
            const std::string one(1, ch);
            pieces.Text(x, 4, one + "        ", 2.0f, ink);
            x += Canvas::TextWidth(one, 2.0f);
        }
        EXPECT_TRUE(whole.Pixels() == pieces.Pixels()) << '"' << label << "\" is cut";
    }
}

// Every line of the gallery's words lies inside its dark band, with room to spare.
TEST(ArtTest, GalleryWordsKeepInsideTheirBand) {
    const Canvas words = Art::Words();
    for (int cell = 0; cell < 5; ++cell) {
        const int top = cell * 48;
        int bandLeft = words.Width(), bandRight = -1, textLeft = words.Width(), textRight = -1;
        for (int x = 0; x < words.Width(); ++x) {
            // The band alone above the letters; the letters are the bright pixels.
            if (words.At(x, top + 8).a > 0.0f) {
                bandLeft = std::min(bandLeft, x);
                bandRight = std::max(bandRight, x);
            }
            for (int y = top + 10; y < top + 42; ++y) {
                if (Luminance(words.At(x, y)) > 0.5f) {
                    textLeft = std::min(textLeft, x);
                    textRight = std::max(textRight, x);
                }
            }
        }
        ASSERT_LE(textLeft, textRight) << "line " << cell << " has no letters";
        EXPECT_GE(textLeft - bandLeft, 8) << "line " << cell;
        EXPECT_GE(bandRight - textRight, 8) << "line " << cell;
    }
}

// Places of the scenes that the game's texts describe: the cellar's doorway is pitch dark,
// and the window's sill holds no candle (the only candle is the study's, which is taken).
TEST(ArtTest, ScenesShowWhatTheirTextsSay) {
    struct Place {
        const char* what;
        Canvas (*draw)();
        int x0, y0, x1, y1;
        float brightest;
    };
    const Place places[] = {
        {"the cellar's doorway", Art::Cellar, 452, 250, 572, 390, 0.1f},
        {"the window's sill", Art::Window, 680, 540, 724, 626, 0.75f},
    };
    for (const Place& place : places) {
        const Canvas picture = place.draw();
        float brightest = 0.0f;
        for (int y = place.y0; y < place.y1; ++y) {
            for (int x = place.x0; x < place.x1; ++x) {
                brightest = std::max(brightest, Luminance(picture.At(x, y)));
            }
        }
        EXPECT_LE(brightest, place.brightest) << place.what;
    }
}

} // namespace
