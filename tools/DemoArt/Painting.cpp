#include "Painting.h"

#include "Art.h"

#include <algorithm>
#include <cmath>

namespace Paint {

namespace {

Vec Lerp(Vec a, Vec b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// Light falling off from a point, never below a dim ambient level.
float Lit(float x, float y, Vec light) {
    const float d = std::hypot(x - light.x, y - light.y) / 900.0f;
    return std::clamp(1.15f - d * 0.9f, 0.35f, 1.1f);
}

} // namespace

Vec Quad::At(float u, float v) const {
    return Lerp(Lerp(tl, tr, u), Lerp(bl, br, u), v);
}

Quad Quad::Sub(float u0, float v0, float u1, float v1) const {
    return {At(u0, v0), At(u1, v0), At(u1, v1), At(u0, v1)};
}

Quad Room::Back() const {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}
Quad Room::Left() const {
    return {{0, 0}, {x0, y0}, {x0, y1}, {0, Art::kScreenH}};
}
Quad Room::Right() const {
    return {{x1, y0}, {Art::kScreenW, 0}, {Art::kScreenW, Art::kScreenH}, {x1, y1}};
}
Quad Room::Floor() const {
    return {{x0, y1}, {x1, y1}, {Art::kScreenW, Art::kScreenH}, {0, Art::kScreenH}};
}
Quad Room::Ceiling() const {
    return {{0, 0}, {Art::kScreenW, 0}, {x1, y0}, {x0, y0}};
}

Color Wood(float x, float y, const Color& base, int seed) {
    const float grain = Noise(x * 0.02f, y * 0.35f, seed) * 0.6f + Noise(x * 0.1f, y, seed) * 0.4f;
    const float ring = 0.5f + 0.5f * std::sin(grain * 18.0f);
    return Scale(base, 0.78f + 0.3f * ring);
}

Color Wallpaper(float x, float y, const Color& base, const Color& stripe, int seed) {
    const float band = std::fmod(x, 48.0f);
    Color c = band < 6.0f || (band > 22.0f && band < 26.0f) ? stripe : base;
    // A faint damask of small diamonds between the stripes.
    const float dx = std::fabs(std::fmod(x + 24.0f, 48.0f) - 24.0f);
    const float dy = std::fabs(std::fmod(y, 64.0f) - 32.0f);
    if (band > 8.0f && band < 20.0f && dx + dy * 0.5f < 10.0f) {
        c = Mix(c, stripe, 0.35f);
    }
    return Scale(c, 0.92f + 0.12f * Noise(x * 0.05f, y * 0.05f, seed));
}

void DrawRoom(Canvas& c, const Room& room, const Color& wall, const Color& stripe,
              const Color& floor, const Color& ceiling, Vec light, int seed) {
    const float vx = (room.x0 + room.x1) / 2.0f;
    const float vy = (room.y0 + room.y1) / 2.0f;
    // Ceiling: plaster, darker towards the viewer.
    c.FillPoly(room.Ceiling().Points(), [&](float x, float y) {
        const float t = 1.0f - y / room.y0;
        return Scale(ceiling, (0.55f + 0.4f * (1.0f - t)) * Lit(x, y, light));
    });
    // Floor: boards running towards the back wall.
    c.FillPoly(room.Floor().Points(), [&](float x, float y) {
        const float depth = (y - room.y1) / (Art::kScreenH - room.y1 + 1.0f);
        const float spread =
            (x - vx) / std::max(depth * (Art::kScreenH - vy) + (room.y1 - vy), 1.0f);
        const float board = spread * 9.0f;
        const int index = static_cast<int>(std::floor(board));
        const float edge = board - std::floor(board);
        Color wood = Wood(spread * 400.0f, y * 0.6f + Hash(index, 0, seed) * 300.0f,
                          Scale(floor, 0.85f + 0.25f * Hash(index, 1, seed)), seed);
        if (edge < 0.04f) {
            wood = Scale(wood, 0.55f);
        }
        return Scale(wood, Lit(x, y, light) * (0.7f + 0.35f * depth));
    });
    const auto wallShade = [&](float x, float y, float k) {
        return Scale(Wallpaper(x, y, wall, stripe, seed), k * Lit(x, y, light));
    };
    c.FillPoly(room.Left().Points(), [&](float x, float y) {
        // Stripes follow the wall's depth: sample by the distance along it.
        const float u = x / room.x0;
        return wallShade(u * u * 480.0f, (y - u * room.y0) / (1.0f + u * 0.0f), 0.78f);
    });
    c.FillPoly(room.Right().Points(), [&](float x, float y) {
        const float u = (Art::kScreenW - x) / (Art::kScreenW - room.x1);
        return wallShade(u * u * 480.0f, y, 0.72f);
    });
    c.FillPoly(room.Back().Points(), [&](float x, float y) { return wallShade(x, y, 0.95f); });
    // Skirting boards and a picture rail.
    const Color skirting = Scale(floor, 0.6f);
    c.FillPoly(room.Back().Sub(0, 0.94f, 1, 1).Points(), skirting);
    c.FillPoly(room.Left().Sub(0, 0.93f, 1, 1).Points(), Scale(skirting, 0.8f));
    c.FillPoly(room.Right().Sub(0, 0.93f, 1, 1).Points(), Scale(skirting, 0.75f));
    const Color rail = Scale(floor, 0.5f);
    c.Line(room.x0, room.y0 + 18, room.x1, room.y0 + 18, 3.0f, rail);
    c.Line(0, 28, room.x0, room.y0 + 18, 3.0f, rail);
    c.Line(Art::kScreenW, 28, room.x1, room.y0 + 18, 3.0f, rail);
    // The corners where the walls meet.
    const Color corner = {0, 0, 0, 0.35f};
    c.Line(room.x0, room.y0, room.x0, room.y1, 2.0f, corner);
    c.Line(room.x1, room.y0, room.x1, room.y1, 2.0f, corner);
    c.Line(0, 0, room.x0, room.y0, 2.0f, corner);
    c.Line(Art::kScreenW, 0, room.x1, room.y0, 2.0f, corner);
    c.Line(0, Art::kScreenH, room.x0, room.y1, 2.0f, corner);
    c.Line(Art::kScreenW, Art::kScreenH, room.x1, room.y1, 2.0f, corner);
}

void DrawDoor(Canvas& c, const Quad& q, const Color& wood, bool knobRight, int seed) {
    c.FillPoly(q.Points(), Scale(wood, 0.45f));
    const Quad leaf = q.Sub(0.07f, 0.05f, 0.93f, 1.0f);
    c.FillPoly(leaf.Points(), [&](float x, float y) { return Wood(x, y * 0.3f, wood, seed); });
    // Four sunken panels.
    const float us[2][2] = {{0.15f, 0.47f}, {0.53f, 0.85f}};
    const float vs[2][2] = {{0.1f, 0.45f}, {0.52f, 0.92f}};
    for (const auto& u : us) {
        for (const auto& v : vs) {
            const Quad panel = leaf.Sub(u[0], v[0], u[1], v[1]);
            c.FillPoly(panel.Points(), [&](float x, float y) {
                return Scale(Wood(x, y * 0.3f, wood, seed), 0.8f);
            });
            c.Line(panel.tl.x, panel.tl.y, panel.tr.x, panel.tr.y, 2.0f, {0, 0, 0, 0.5f});
            c.Line(panel.tl.x, panel.tl.y, panel.bl.x, panel.bl.y, 2.0f, {0, 0, 0, 0.5f});
            c.Line(panel.bl.x, panel.bl.y, panel.br.x, panel.br.y, 2.0f, {1, 1, 1, 0.15f});
            c.Line(panel.tr.x, panel.tr.y, panel.br.x, panel.br.y, 2.0f, {1, 1, 1, 0.15f});
        }
    }
    const Vec knob = leaf.At(knobRight ? 0.88f : 0.12f, 0.5f);
    const float size =
        std::max(3.0f, std::hypot(leaf.tr.x - leaf.tl.x, leaf.tr.y - leaf.tl.y) * 0.04f);
    c.FillDisc(knob.x, knob.y, size, Rgb(200, 160, 70));
    c.FillDisc(knob.x - size * 0.3f, knob.y - size * 0.3f, size * 0.35f, Rgb(255, 235, 170));
}

void DrawPainting(Canvas& c, const Quad& q, int seed) {
    c.FillPoly(q.Points(), Rgb(120, 86, 30));
    const Quad inner = q.Sub(0.08f, 0.1f, 0.92f, 0.9f);
    c.FillPoly(inner.Points(), [&](float x, float y) {
        const Vec top = inner.At(0, 0);
        const Vec bottom = inner.At(0, 1);
        const float v = (y - top.y) / std::max(bottom.y - top.y, 1.0f);
        const float hills =
            0.55f + 0.12f * std::sin(x * 0.05f + seed) + 0.05f * Noise(x * 0.1f, 0, seed);
        if (v < hills) {
            return Mix(Rgb(222, 180, 120), Rgb(150, 170, 190), v / hills);
        }
        return Mix(Rgb(70, 90, 50), Rgb(40, 55, 30), (v - hills) / (1.0f - hills));
    });
}

void DrawNightSea(Canvas& c, float x0, float y0, float x1, float y1, float horizon, bool lighthouse,
                  int seed, float moonAt) {
    c.FillRect(x0, y0, x1, y1, [&](float x, float y) {
        if (y < horizon) {
            const float t = (y - y0) / std::max(horizon - y0, 1.0f);
            Color sky = Mix(Rgb(12, 16, 48), Rgb(70, 60, 110), t * t);
            const float star = Hash(static_cast<int>(x), static_cast<int>(y), seed);
            if (star > 0.9985f && t < 0.8f) {
                sky = Mix(sky, Rgb(255, 255, 230), 0.8f);
            }
            return sky;
        }
        const float t = (y - horizon) / std::max(y1 - horizon, 1.0f);
        const float wave = Noise(x * 0.02f, y * 0.25f, seed + 7);
        return Scale(Mix(Rgb(20, 30, 60), Rgb(8, 12, 26), t), 0.75f + 0.5f * wave);
    });
    const float mx = x0 + (x1 - x0) * moonAt;
    const float my = y0 + (horizon - y0) * 0.3f;
    const float mr = std::max(8.0f, (x1 - x0) * 0.045f);
    Glow(c, {mx, my}, mr * 5.0f, Rgb(180, 190, 255), 0.25f);
    c.FillDisc(mx, my, mr, Rgb(250, 245, 215));
    c.FillDisc(mx + mr * 0.3f, my - mr * 0.2f, mr * 0.25f, Rgb(225, 220, 190));
    // The moon's path on the water.
    for (float y = horizon + 2; y < y1; y += 3.0f) {
        const float t = (y - horizon) / (y1 - horizon);
        const float half =
            mr * (0.6f + 2.5f * t) * (0.6f + 0.8f * Hash(static_cast<int>(y), 3, seed));
        c.Line(mx - half, y, mx + half, y, 1.5f, {1.0f, 0.97f, 0.8f, 0.35f * (1.0f - t * 0.6f)});
    }
    if (lighthouse) {
        const float lx = x0 + (x1 - x0) * 0.2f;
        const float w = std::max(6.0f, (x1 - x0) * 0.03f);
        const float h = (horizon - y0) * 0.45f;
        // Cliff, tower, lamp and beam.
        c.FillPoly({{x0, horizon + 4},
                    {lx - w * 4, horizon - h * 0.12f},
                    {lx + w * 3, horizon - h * 0.15f},
                    {lx + w * 7, horizon + 4}},
                   Rgb(10, 10, 18));
        c.FillPoly({{lx - w * 0.5f, horizon - h * 0.13f - h},
                    {lx + w * 0.5f, horizon - h * 0.13f - h},
                    {lx + w * 0.8f, horizon - h * 0.13f},
                    {lx - w * 0.8f, horizon - h * 0.13f}},
                   Rgb(16, 14, 22));
        const Vec lamp = {lx, horizon - h * 0.13f - h - w * 0.4f};
        c.FillPoly({lamp, {x1, lamp.y - h * 0.5f}, {x1, lamp.y + h * 0.25f}},
                   {1.0f, 0.95f, 0.7f, 0.12f});
        Glow(c, lamp, w * 3.0f, Rgb(255, 230, 150), 0.8f);
        c.FillDisc(lamp.x, lamp.y, w * 0.45f, Rgb(255, 245, 200));
    }
}

void Glow(Canvas& c, Vec at, float radius, const Color& color, float strength) {
    c.FillRect(at.x - radius, at.y - radius, at.x + radius, at.y + radius, [&](float x, float y) {
        const float d = std::hypot(x - at.x, y - at.y) / radius;
        const float k = d >= 1.0f ? 0.0f : (1.0f - d) * (1.0f - d);
        return Color{color.r, color.g, color.b, k * strength};
    });
}

void CentredText(Canvas& c, float cx, float y, const std::string& text, float size,
                 const Color& color) {
    const float w = Canvas::TextWidth(text, size);
    c.Text(cx - w / 2.0f + size * 0.4f, y + size * 0.4f, text, size, {0, 0, 0, 0.6f * color.a});
    c.Text(cx - w / 2.0f, y, text, size, color);
}

void Plaque(Canvas& c, float x, float y, float w, float h, const std::string& label, float size,
            bool lit) {
    c.FillRect(x, y, x + w, y + h, Rgb(120, 90, 40, 0.95f));
    c.FillRect(x + 4, y + 4, x + w - 4, y + h - 4, [lit](float px, float py) {
        return Scale(Wood(px, py * 0.4f, Rgb(70, 44, 24), 31), lit ? 1.45f : 1.0f);
    });
    const Color ink = lit ? Rgb(255, 240, 200) : Rgb(236, 214, 166);
    CentredText(c, x + w / 2, y + (h - 7 * size) / 2, label, size, ink);
}

void Ledger(Canvas& c, int seed) {
    c.FillRect(0, 0, Art::kScreenW, Art::kScreenH,
               [seed](float x, float y) { return Wood(x, y, Rgb(60, 38, 22), seed); });
    // The two pages and the shadow of the spine between them.
    const auto page = [&](float x0, float x1, float tilt) {
        c.FillPoly({{x0, 60 + tilt}, {x1, 60 - tilt}, {x1, 720 - tilt}, {x0, 720 + tilt}},
                   [seed](float x, float y) {
                       return Scale(Rgb(236, 222, 186),
                                    0.85f + 0.15f * Noise(x * 0.02f, y * 0.02f, seed + 1));
                   });
    };
    c.FillRect(96, 52, 928, 736, Rgb(70, 30, 24));
    page(112, 512, 4);
    page(512, 912, -4);
    c.FillRect(500, 60, 524, 720, [](float x, float) {
        return Color{0, 0, 0, 0.35f * (1.0f - std::fabs(x - 512) / 12.0f)};
    });
    // Faint ruled lines.
    for (float y = 170; y < 700; y += 31) {
        c.Line(140, y, 884, y, 1.0f, Rgb(120, 140, 170, 0.35f));
    }
    c.Vignette(0.5f);
}

void ProgressFrame(Canvas& c, float x, float y, float w, float h) {
    c.FillRect(x - 6, y - 6, x + w + 6, y + h + 6, Rgb(150, 120, 60));
    c.FillRect(x - 3, y - 3, x + w + 3, y + h + 3, Rgb(60, 45, 20));
    c.FillRect(x, y, x + w, y + h, Rgb(14, 12, 10));
}

void ClearBelowScreen(Canvas& c) {
    c.FillRect(0, Art::kScreenH, c.Width(), c.Height(), Rgb(0, 0, 0));
}

} // namespace Paint
