// The demo's full-screen pictures: the keeper's house on the cliff, its rooms and close-ups,
// the title and loading pictures and the flash screens.

#include "Art.h"
#include "Painting.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace Art {

namespace {

using Paint::Quad;
using Paint::Room;

Canvas Screen() {
    Canvas c(1024, 1024);
    c.FillRect(0, 0, 1024, 1024, Rgb(0, 0, 0));
    return c;
}

// Darkens the corners by `vignette` and blacks out the rows below the screen.
Canvas Finished(Canvas& c, float vignette) {
    if (vignette > 0.0f) {
        c.Vignette(vignette);
    }
    Paint::ClearBelowScreen(c);
    return std::move(c);
}

// The study's green wallpaper over the rows above y1, dimmed by k.
void StudyWall(Canvas& c, float y1, float k, int seed) {
    c.FillRect(0, 0, 1024, y1, [k, seed](float x, float y) {
        return Scale(Paint::Wallpaper(x, y, Rgb(52, 72, 62), Rgb(80, 104, 86), seed), k);
    });
}

// Courses of stone blocks over the whole screen, every other course offset by half a block;
// each block's shade varies from `low` to `low` + 0.4 of the colour.
void Masonry(Canvas& c, float course, float block, const Color& stone, const Color& joint,
             float low, int seed) {
    c.FillRect(0, 0, 1024, 768, [=](float x, float y) {
        const float row = std::floor(y / course);
        const float offset = std::fmod(row, 2.0f) * block / 2.0f;
        if (std::fmod(y, course) < 3.0f || std::fmod(x + offset, block) < 3.0f) {
            return joint;
        }
        return Scale(stone, low + 0.4f * Hash(int((x + offset) / block), int(row), seed));
    });
}

void Sepia(Canvas& c, float x0, float y0, float x1, float y1) {
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y) {
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const Color p = c.At(x, y);
            const float l = 0.3f * p.r + 0.59f * p.g + 0.11f * p.b;
            const float k = 0.55f + 0.9f * l + 0.08f * (Hash(x, y, 5) - 0.5f);
            c.Blend(x, y, {0.95f * k, 0.78f * k, 0.55f * k, 1.0f});
        }
    }
}

} // namespace

Canvas Hall() {
    Canvas c = Screen();
    const Room room{312, 190, 712, 540};
    const Vec light{512, 150};
    Paint::DrawRoom(c, room, Rgb(92, 60, 52), Rgb(130, 92, 60), Rgb(110, 70, 38),
                    Rgb(200, 190, 170), light, 1);
    // A rug leading to the study door.
    c.FillPoly({{440, 560}, {584, 560}, {700, 740}, {324, 740}}, [](float x, float y) {
        const bool border = x < 360 + (y - 560) * -0.2f || std::fmod(y, 40.0f) < 4.0f;
        return border ? Rgb(150, 110, 40)
                      : Scale(Rgb(120, 28, 30), 0.8f + 0.3f * Noise(x * 0.2f, y * 0.2f, 4));
    });
    // The study door in the back wall, the cellar door in the right wall.
    Paint::DrawDoor(c, {{452, 300}, {572, 300}, {572, 540}, {452, 540}}, Rgb(120, 72, 36), true, 2);
    Paint::DrawDoor(c, room.Right().Sub(0.25f, 0.3f, 0.55f, 1.0f), Rgb(90, 60, 40), false, 3);
    Paint::DrawPainting(c, room.Left().Sub(0.35f, 0.2f, 0.75f, 0.45f), 5);
    // A coat stand by the left wall, a coat on its hook.
    c.Line(268, 250, 268, 650, 8.0f, Rgb(50, 30, 18));
    c.Line(238, 652, 298, 652, 8.0f, Rgb(50, 30, 18));
    c.Line(268, 260, 246, 290, 5.0f, Rgb(50, 30, 18));
    c.Line(268, 260, 290, 290, 5.0f, Rgb(50, 30, 18));
    c.FillPoly({{246, 280}, {292, 280}, {304, 450}, {236, 450}}, Rgb(40, 48, 60));
    // A hanging lamp.
    c.Line(512, 0, 512, 110, 3.0f, Rgb(40, 30, 20));
    Paint::Glow(c, {512, 130}, 260, Rgb(255, 200, 120), 0.35f);
    c.FillPoly({{482, 110}, {542, 110}, {560, 140}, {464, 140}}, Rgb(220, 170, 90));
    c.FillDisc(512, 146, 10, Rgb(255, 240, 200));
    return Finished(c, 0.55f);
}

Canvas Study() {
    Canvas c = Screen();
    const Room room{262, 170, 762, 520};
    const Vec light{560, 420};
    Paint::DrawRoom(c, room, Rgb(52, 72, 62), Rgb(80, 104, 86), Rgb(96, 62, 36), Rgb(190, 185, 170),
                    light, 11);
    // The window in the back wall: the sea at night beyond it.
    c.FillRect(405, 203, 619, 407, Rgb(90, 62, 36));
    Paint::DrawNightSea(c, 417, 215, 607, 395, 330, true, 12);
    c.Line(512, 215, 512, 395, 6.0f, Rgb(90, 62, 36));
    c.Line(417, 300, 607, 300, 6.0f, Rgb(90, 62, 36));
    c.FillRect(395, 395, 629, 412, Rgb(120, 86, 50));
    // Curtains.
    for (int side = 0; side < 2; ++side) {
        const float x = side == 0 ? 372.0f : 606.0f;
        c.FillRect(x, 190, x + 46, 430, [x](float px, float) {
            return Scale(Rgb(120, 30, 34), 0.7f + 0.3f * std::sin((px - x) * 0.4f));
        });
    }
    // A bookshelf along the left wall.
    const Quad shelf = room.Left().Sub(0.3f, 0.12f, 0.8f, 0.95f);
    c.FillPoly(shelf.Points(), Rgb(60, 38, 22));
    for (int row = 0; row < 5; ++row) {
        const float v0 = 0.05f + row * 0.19f;
        const Quad books = shelf.Sub(0.06f, v0, 0.94f, v0 + 0.16f);
        for (int b = 0; b < 14; ++b) {
            const float u0 = b / 14.0f;
            const float lean = Hash(b, row, 13) * 0.2f;
            const Quad book = books.Sub(u0, lean, u0 + 1.0f / 15.0f, 1.0f);
            const Color colors[4] = {Rgb(110, 30, 30), Rgb(40, 60, 100), Rgb(50, 80, 40),
                                     Rgb(130, 100, 50)};
            c.FillPoly(book.Points(),
                       Scale(colors[(b * 7 + row * 3) % 4], 0.7f + 0.4f * Hash(b, row, 14)));
        }
        const Quad board = shelf.Sub(0.0f, v0 + 0.16f, 1.0f, v0 + 0.19f);
        c.FillPoly(board.Points(), Rgb(80, 52, 30));
    }
    // The desk under the window, with a lamp.
    const Color deskWood = Rgb(110, 66, 34);
    c.FillPoly({{352, 430}, {672, 430}, {702, 470}, {322, 470}}, [&](float x, float y) {
        return Paint::Wood(x, y * 4.0f, Scale(deskWood, 1.15f), 15);
    });
    c.FillRect(322, 470, 702, 560,
               [&](float x, float y) { return Paint::Wood(x, y, deskWood, 16); });
    for (int d = 0; d < 3; ++d) {
        const float x0 = 338 + d * 122.0f;
        c.FillRect(x0, 482, x0 + 106, 548, Scale(deskWood, 0.8f));
        c.FillDisc(x0 + 53, 515, 5, Rgb(210, 170, 80));
    }
    c.FillRect(330, 560, 350, 650, Scale(deskWood, 0.6f));
    c.FillRect(674, 560, 694, 650, Scale(deskWood, 0.6f));
    c.FillPoly({{590, 425}, {630, 425}, {620, 380}, {600, 380}}, Rgb(200, 150, 60));
    Paint::Glow(c, {610, 390}, 180, Rgb(255, 210, 130), 0.45f);
    c.FillRect(440, 436, 520, 452, Rgb(235, 225, 200));
    return Finished(c, 0.5f);
}

Canvas Desk() {
    Canvas c = Screen();
    // The wall behind the desk, then the desk top in perspective.
    StudyWall(c, 260, 0.7f, 21);
    c.FillRect(0, 250, 1024, 268, Rgb(70, 44, 24));
    c.FillPoly({{0, 268}, {1024, 268}, {1024, 620}, {0, 620}}, [](float x, float y) {
        return Paint::Wood(x, (y - 200) * 3.0f, Rgb(120, 72, 38), 22);
    });
    // The drawer front at the edge of the desk.
    c.FillRect(0, 620, 1024, 768,
               [](float x, float y) { return Paint::Wood(x, y, Rgb(96, 58, 30), 23); });
    c.FillRect(312, 632, 712, 716, Rgb(80, 48, 26));
    c.FillRect(318, 638, 706, 710,
               [](float x, float y) { return Paint::Wood(x, y, Rgb(112, 68, 36), 24); });
    c.FillRect(462, 666, 562, 682, Rgb(180, 140, 60));
    c.FillDisc(470, 674, 9, Rgb(210, 170, 80));
    c.FillDisc(554, 674, 9, Rgb(210, 170, 80));
    // The oil lamp and its light.
    Paint::Glow(c, {200, 260}, 420, Rgb(255, 200, 120), 0.4f);
    c.FillPoly({{150, 420}, {250, 420}, {230, 380}, {170, 380}}, Rgb(170, 120, 50));
    c.FillDisc(200, 300, 46, Rgb(250, 230, 180, 0.6f));
    c.FillDisc(200, 310, 12, Rgb(255, 250, 220));
    c.FillRect(182, 240, 218, 256, Rgb(60, 50, 40));
    // The diary, open on its loose page.
    c.FillPoly({{428, 392}, {648, 378}, {662, 560}, {436, 572}}, Rgb(50, 30, 20, 0.5f));
    c.FillPoly({{420, 384}, {640, 370}, {654, 552}, {428, 564}}, [](float x, float y) {
        return Scale(Rgb(236, 222, 186), 0.9f + 0.1f * Noise(x * 0.1f, y * 0.1f, 25));
    });
    for (int line = 0; line < 8; ++line) {
        const float y = 408 + line * 18.0f;
        const float length = 150 + 50 * Hash(line, 0, 26);
        c.Line(446, y - line * 0.8f, 446 + length, y - line * 0.8f - 10, 2.0f,
               Rgb(60, 50, 90, 0.7f));
    }
    // Ink and quill.
    c.FillDisc(790, 430, 30, Rgb(20, 20, 30));
    c.FillDisc(784, 420, 8, Rgb(80, 80, 110));
    c.Line(800, 420, 900, 260, 4.0f, Rgb(230, 225, 210));
    c.Line(870, 300, 900, 260, 10.0f, Rgb(240, 240, 235));
    return Finished(c, 0.6f);
}

Canvas Window() {
    Canvas c = Screen();
    StudyWall(c, 768, 0.6f, 31);
    c.FillRect(190, 58, 834, 642, Rgb(90, 62, 36));
    Paint::DrawNightSea(c, 212, 80, 812, 620, 400, true, 32);
    c.Line(512, 80, 512, 620, 14.0f, Rgb(90, 62, 36));
    c.Line(212, 330, 812, 330, 14.0f, Rgb(90, 62, 36));
    c.FillRect(160, 620, 864, 660, Rgb(130, 92, 54));
    c.FillRect(170, 660, 854, 690, Rgb(70, 46, 26));
    for (int side = 0; side < 2; ++side) {
        const float x0 = side == 0 ? 80.0f : 800.0f;
        c.FillRect(x0, 30, x0 + 144, 740, [x0](float px, float py) {
            return Scale(Rgb(130, 32, 36),
                         (0.6f + 0.35f * std::sin((px - x0) * 0.12f)) * (1.0f - py / 2400.0f));
        });
    }
    c.FillRect(60, 20, 964, 38, Rgb(150, 110, 50));
    return Finished(c, 0.5f);
}

Canvas Cellar() {
    Canvas c = Screen();
    Masonry(c, 40, 80, Rgb(80, 76, 70), Rgb(30, 28, 26), 0.7f, 41);
    // Steps going down to a doorway that no light reaches: the light from the hall behind
    // fades on the way down, on the walls as on the steps, and the doorway is black.
    c.FillRect(0, 0, 1024, 768, [](float x, float y) {
        const float d = std::hypot(x - 512.0f, (y - 320.0f) * 1.3f);
        return Color{0.0f, 0.0f, 0.0f, 0.85f * std::clamp(1.0f - d / 560.0f, 0.0f, 1.0f)};
    });
    for (int s = 0; s < 9; ++s) {
        const float t = s / 9.0f;
        const float y = 768 - s * 42.0f;
        const float half = 380 - t * 250;
        const float light = (1.0f - t) * (1.0f - t);
        c.FillRect(512 - half, y - 42, 512 + half, y,
                   Scale(Rgb(110, 100, 90), 0.1f + 0.8f * light));
        c.FillRect(512 - half, y - 42, 512 + half, y - 36,
                   Scale(Rgb(150, 140, 120), 0.15f + 0.85f * light));
    }
    c.FillRect(452, 250, 572, 390, Rgb(4, 3, 3));
    c.FillRect(440, 240, 452, 392, Rgb(40, 32, 24));
    c.FillRect(572, 240, 584, 392, Rgb(40, 32, 24));
    c.FillRect(440, 236, 584, 250, Rgb(40, 32, 24));
    return Finished(c, 0.8f);
}

Canvas LoadingIntro() {
    Canvas c = Screen();
    Paint::DrawNightSea(c, 0, 0, 1024, 768, 520, true, 61);
    Paint::CentredText(c, 512, 200, "KORVANTINE", 11.0f, Rgb(245, 225, 170));
    Paint::CentredText(c, 512, 600, "Loading", 3.0f, Rgb(220, 210, 190));
    Paint::ProgressFrame(c, kBarX, kBarY, kBarW, kBarH);
    return Finished(c, 0.0f);
}

Canvas LoadingHouse() {
    Canvas c = Screen();
    // The front door of the house by lantern light.
    c.FillRect(0, 0, 1024, 768, [](float x, float y) {
        const bool joint = std::fmod(y, 32.0f) < 2.0f;
        return joint ? Rgb(20, 18, 16)
                     : Scale(Rgb(70, 62, 54), 0.6f + 0.3f * Noise(x * 0.03f, y * 0.1f, 71));
    });
    Paint::DrawDoor(c, {{392, 150}, {632, 150}, {632, 560}, {392, 560}}, Rgb(70, 40, 24), true, 72);
    c.FillRect(360, 560, 664, 590, Rgb(100, 96, 90));
    c.FillRect(690, 250, 730, 320, Rgb(40, 36, 30));
    Paint::Glow(c, {710, 290}, 260, Rgb(255, 200, 110), 0.5f);
    c.FillDisc(710, 290, 12, Rgb(255, 240, 190));
    c.Vignette(0.7f);
    Paint::CentredText(c, 512, 600, "The keeper's house", 3.0f, Rgb(230, 215, 190));
    Paint::ProgressFrame(c, kBarX, kBarY, kBarW, kBarH);
    return Finished(c, 0.0f);
}

Canvas FlashPhotograph() {
    Canvas c = Screen();
    c.FillRect(0, 0, 1024, 768,
               [](float x, float y) { return Paint::Wood(x, y, Rgb(60, 40, 24), 81); });
    c.FillRect(262, 134, 762, 634, Rgb(238, 230, 214));
    Paint::DrawNightSea(c, 287, 159, 737, 559, 420, true, 82);
    Sepia(c, 287, 159, 737, 559);
    c.Text(300, 580, "The keeper, 1911", 3.0f, Rgb(90, 70, 50));
    return Finished(c, 0.5f);
}

Canvas FlashBeam() {
    Canvas c = Screen();
    Paint::DrawNightSea(c, 0, 0, 1024, 768, 500, false, 91);
    c.FillPoly({{0, 330}, {1024, 150}, {1024, 520}}, {1.0f, 0.96f, 0.8f, 0.55f});
    Paint::Glow(c, {40, 330}, 420, Rgb(255, 245, 210), 0.9f);
    return Finished(c, 0.0f);
}

Canvas DiaryPage(int page) {
    Canvas c = Screen();
    c.FillRect(0, 0, 1024, 768,
               [](float x, float y) { return Paint::Wood(x, y, Rgb(70, 44, 24), 101); });
    c.FillPoly({{170, 40}, {860, 30}, {870, 740}, {160, 748}}, [page](float x, float y) {
        return Scale(Rgb(236, 222, 186), 0.85f + 0.15f * Noise(x * 0.02f, y * 0.02f, 102 + page));
    });
    static const std::vector<std::vector<const char*>> pages = {
        {"Day 41.", "The lamp failed again at midnight.", "I climbed the tower twice before",
         "the wick would take the flame.", "", "I have hidden the cellar key",
         "in the desk drawer, where the", "damp cannot reach it."},
        {"Day 42.", "The oil is nearly gone.", "There is more in the store below",
         "the cellar, but the stair down", "there is black as pitch.", "",
         "I left a candle stub on my desk", "for the way down."},
        {"Day 43.", "If I do not come back up,", "whoever reads this: take a light",
         "down with you, and bring up", "the oil.", "", "The lamp must burn tonight."},
    };
    float y = 90;
    for (const char* line : pages[std::size_t(page - 1)]) {
        c.Text(220, y, line, 3.2f, Rgb(50, 40, 80));
        y += 56;
    }
    c.Text(700, y + 20, "- E. M.", 3.2f, Rgb(50, 40, 80));
    // Page turns: back at the bottom left, on at the bottom right, and the page number.
    c.Text(190, 676, "<", 5.0f, Rgb(90, 60, 40));
    c.Text(800, 676, ">", 5.0f, Rgb(90, 60, 40));
    Paint::CentredText(c, 512, 690, std::to_string(page), 3.0f, Rgb(90, 60, 40));
    return Finished(c, 0.4f);
}

Canvas Ending() {
    Canvas c = Screen();
    // The oil store under the cellar, a vault of rough stone lit by one candle.
    Masonry(c, 46, 100, Rgb(96, 84, 70), Rgb(26, 22, 18), 0.6f, 121);
    c.FillPoly({{0, 0}, {1024, 0}, {1024, 120}, {512, 40}, {0, 120}}, Rgb(20, 16, 12));
    c.FillRect(0, 600, 1024, 768, [](float x, float y) {
        return Scale(Rgb(70, 60, 50), 0.7f + 0.3f * Noise(x * 0.05f, y * 0.1f, 122));
    });
    // Shelves of oil cans and a barrel.
    for (int shelf = 0; shelf < 3; ++shelf) {
        const float y = 250 + shelf * 120.0f;
        c.FillRect(90, y, 470, y + 12, Rgb(80, 52, 30));
        for (int can = 0; can < 5; ++can) {
            const float x = 110 + can * 72.0f;
            c.FillRect(x, y - 70, x + 50, y,
                       Scale(Rgb(150, 50, 40), 0.8f + 0.3f * Hash(can, shelf, 123)));
            c.FillRect(x + 18, y - 82, x + 32, y - 70, Rgb(90, 80, 70));
        }
    }
    c.FillRect(600, 420, 820, 640, [](float x, float) {
        return Scale(Rgb(110, 70, 36), 0.7f + 0.3f * std::sin((x - 600) / 220.0f * 3.14f));
    });
    for (float y : {450.0f, 600.0f}) {
        c.FillRect(596, y, 824, y + 12, Rgb(60, 60, 64));
    }
    c.Text(630, 510, "LAMP OIL", 3.0f, Rgb(230, 220, 190));
    // The candle in the foreground and its light.
    Paint::Glow(c, {880, 470}, 520, Rgb(255, 190, 100), 0.45f);
    c.FillRect(866, 480, 894, 600, Rgb(236, 228, 205));
    c.FillRect(850, 600, 910, 612, Rgb(170, 130, 50));
    c.FillDisc(880, 466, 9, Rgb(255, 230, 150));
    c.FillDisc(880, 470, 5, Rgb(255, 250, 230));
    return Finished(c, 0.65f);
}

} // namespace Art
