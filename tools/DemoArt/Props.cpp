// The animated and movable pieces of the demo's scenes: the hall lamp's flicker, the desk
// drawer sliding open, the candle stub on the study desk, the diary page and the lamp's glint
// on the lighthouse gallery, and the gallery's lines of text.

#include "Art.h"
#include "Painting.h"

#include <algorithm>
#include <cmath>

namespace Art {

namespace {

constexpr float kPi = 3.14159265f;

// The desk's drawer rail in drawer-frame coordinates: the frames cover the desk picture from
// (300, 620) to (724, 768).
constexpr float kDrawerX = 300, kDrawerY = 620, kDrawerW = 424, kDrawerH = 148;

// One frame of the drawer, drawn on its own canvas so nothing spills into the next frame.
Canvas DrawerFrame(float t, bool key) {
    Canvas c{int(kDrawerW), int(kDrawerH)};
    const float ox = 0, oy = 0;
    // The desk's front, as the desk picture has it, under the drawer.
    c.FillRect(ox, oy, ox + kDrawerW, oy + kDrawerH, [ox, oy](float x, float y) {
        return Paint::Wood(x - ox + kDrawerX, y - oy + kDrawerY, Rgb(96, 58, 30), 23);
    });
    // The drawer comes out towards the viewer: its front grows and drops, and its inside
    // shows above it.
    const float grow = 1.0f + 0.05f * t, drop = 40.0f * t;
    const float cx = ox + kDrawerW / 2;
    const float w = 400 * grow, h = 84 * grow;
    const float top = oy + 12 + drop;
    if (t > 0) {
        const float inside = 46.0f * t;
        c.FillRect(cx - w / 2 + 10, top - inside, cx + w / 2 - 10, top,
                   [top, inside](float, float y) {
                       return Scale(Rgb(60, 36, 20), 0.35f + 0.5f * (y - (top - inside)) / inside);
                   });
        if (key) {
            const float kx = cx + 40, ky = top - inside * 0.55f;
            c.FillDisc(kx, ky, 9 * t, Rgb(200, 160, 60));
            c.FillDisc(kx, ky, 4 * t, Rgb(40, 24, 14));
            c.FillRect(kx + 8 * t, ky - 2 * t, kx + 40 * t, ky + 3 * t, Rgb(200, 160, 60));
            c.FillRect(kx + 30 * t, ky + 3 * t, kx + 34 * t, ky + 9 * t, Rgb(200, 160, 60));
        }
    }
    c.FillRect(cx - w / 2, top, cx + w / 2, top + h, Rgb(80, 48, 26));
    c.FillRect(cx - w / 2 + 6, top + 6, cx + w / 2 - 6, top + h - 6,
               [](float x, float y) { return Paint::Wood(x, y, Rgb(112, 68, 36), 24); });
    const float hy = top + h / 2;
    c.FillRect(cx - 50 * grow, hy - 8 * grow, cx + 50 * grow, hy + 8 * grow, Rgb(180, 140, 60));
    c.FillDisc(cx - 42 * grow, hy, 9 * grow, Rgb(210, 170, 80));
    c.FillDisc(cx + 42 * grow, hy, 9 * grow, Rgb(210, 170, 80));
    return c;
}

} // namespace

Canvas LampFlicker() {
    // Eight 128x128 cells of the hall lamp's glow, each a little brighter or dimmer.
    Canvas c(1024, 128);
    const float levels[8] = {1.0f, 0.82f, 0.95f, 0.6f, 0.9f, 1.0f, 0.72f, 0.93f};
    for (int i = 0; i < 8; ++i) {
        const float cx = i * 128 + 64.0f, cy = 80.0f;
        Paint::Glow(c, {cx, cy}, 62, Rgb(255, 210, 140), 0.55f * levels[i]);
        c.FillDisc(cx, cy, 7 + 3 * levels[i], Rgb(255, 245, 210, 0.8f + 0.2f * levels[i]));
    }
    return c;
}

Canvas DrawerFrames() {
    // Six frames, two to a row: closed, opening (three), open with the key, open and empty.
    Canvas c(1024, 512);
    for (int f = 0; f < 6; ++f) {
        const Canvas frame = DrawerFrame(f < 4 ? f / 4.0f : 1.0f, f != 5);
        const int ox = f % 2 * int(kDrawerW), oy = f / 2 * int(kDrawerH);
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x) {
                c.Blend(ox + x, oy + y, frame.At(x, y));
            }
        }
    }
    return c;
}

// Textures are stretched to sizes that are powers of two when they are loaded, so the small
// pictures are drawn on such canvases, their transparent parts filling the rest.
Canvas CandleStub() {
    Canvas c(32, 128);
    c.FillRect(2, 118, 30, 126, Rgb(170, 130, 50));
    c.FillDisc(16, 118, 12, Rgb(190, 150, 60));
    c.FillRect(9, 82, 23, 118, Rgb(236, 228, 205));
    c.FillRect(9, 82, 13, 118, Rgb(200, 192, 170));
    c.Line(16, 74, 16, 83, 2.0f, Rgb(30, 24, 20));
    return c;
}

Canvas LoosePage() {
    // Two 128x128 frames: the page lying flat, and its corner lifted by the wind.
    Canvas c(256, 128);
    for (int f = 0; f < 2; ++f) {
        const float ox = f * 128.0f, lift = f * 10.0f;
        c.FillPoly({{ox + 6, 10}, {ox + 88, 2 - lift}, {ox + 92 - lift, 62}, {ox + 10, 70}},
                   Rgb(232, 220, 186));
        for (int line = 0; line < 6; ++line) {
            const float y = 16 + line * 8.5f;
            c.Line(ox + 16, y - line * 0.7f, ox + 76 - 12 * (line % 2) - lift,
                   y - line * 0.7f - 4 - lift * 0.5f, 1.2f, Rgb(60, 50, 90, 0.7f));
        }
    }
    return c;
}

Canvas Glint() {
    // Eight 128x128 frames of the lens flashing as the lamp turns: four rays turning round a
    // bright core.
    Canvas c(1024, 128);
    for (int f = 0; f < 8; ++f) {
        const float cx = f * 128 + 64.0f, cy = 64.0f;
        const float turn = f * kPi / 16.0f;
        const float pulse = 0.6f + 0.4f * std::cos(f * kPi / 4.0f);
        for (int ray = 0; ray < 4; ++ray) {
            const float a = turn + ray * kPi / 2.0f;
            const float reach = (ray % 2 == 0 ? 60.0f : 34.0f) * pulse;
            c.Line(cx, cy, cx + std::cos(a) * reach, cy + std::sin(a) * reach, 3.0f,
                   Rgb(255, 240, 200, 0.55f));
        }
        Paint::Glow(c, {cx, cy}, 40 * pulse, Rgb(255, 245, 220), 0.9f);
    }
    return c;
}

Canvas Words() {
    // The gallery's lines, one to a 1024x48 cell: what the player is told about what they
    // click, shown as a sprite over the panorama.
    constexpr float kWordsSize = 2.4f;
    Canvas c(1024, 256);
    const char* lines[] = {
        "The lamp turns, and its light sweeps the sea.",
        "A page of the keeper's diary, caught at the foot of the lantern.",
        "The sea breaks on the rocks, thirty metres below.",
        "Across the water, the keeper's house.",
        "The stair winds down into the tower.",
    };
    for (int i = 0; i < 5; ++i) {
        // The dark band reaches at least 360 pixels either side of the centre, and a margin
        // beyond a longer line.
        const float y = i * 48.0f;
        const float half = std::max(360.0f, Canvas::TextWidth(lines[i], kWordsSize) / 2 + 24);
        c.FillRect(512 - half, y + 6, 512 + half, y + 42, Color{0.02f, 0.02f, 0.05f, 0.6f});
        Paint::CentredText(c, 512, y + 14, lines[i], kWordsSize, Rgb(240, 226, 190));
    }
    return c;
}

} // namespace Art
