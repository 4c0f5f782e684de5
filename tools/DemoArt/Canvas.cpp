#include "Canvas.h"

#include <algorithm>
#include <cmath>
// The font header defines static helpers that this program does not all call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_easy_font.h>
#pragma GCC diagnostic pop
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

Color Rgb(int r, int g, int b, float a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Color Mix(const Color& x, const Color& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Color Scale(const Color& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

float Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

float Noise(float x, float y, int seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    float tx = x - fx;
    float ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * tx;
    const float bottom =
        Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0) {}

void Canvas::Blend(int x, int y, const Color& c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
    // Straight (not premultiplied) alpha, as the engine draws it: over a transparent pixel
    // the colour is the colour given, whatever its alpha.
    const float a = std::clamp(c.a, 0.0f, 1.0f);
    const float below = p[3] / 255.0f * (1.0f - a);
    const float alpha = below + a;
    if (alpha <= 0.0f) {
        return;
    }
    const float channels[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) {
        const float v = (p[i] / 255.0f * below + std::clamp(channels[i], 0.0f, 1.0f) * a) / alpha;
        p[i] = static_cast<std::uint8_t>(std::lround(v * 255.0f));
    }
    p[3] = static_cast<std::uint8_t>(std::lround(alpha * 255.0f));
}

Color Canvas::At(int x, int y) const {
    const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
    return Rgb(p[0], p[1], p[2], p[3] / 255.0f);
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, const Shader& shader) {
    const int ax = std::max(0, static_cast<int>(std::ceil(x0 - 0.5f)));
    const int ay = std::max(0, static_cast<int>(std::ceil(y0 - 0.5f)));
    const int bx = std::min(width_, static_cast<int>(std::ceil(x1 - 0.5f)));
    const int by = std::min(height_, static_cast<int>(std::ceil(y1 - 0.5f)));
    for (int y = ay; y < by; ++y) {
        for (int x = ax; x < bx; ++x) {
            Blend(x, y, shader(x + 0.5f, y + 0.5f));
        }
    }
}

void Canvas::FillRect(float x0, float y0, float x1, float y1, const Color& c) {
    FillRect(x0, y0, x1, y1, [&c](float, float) { return c; });
}

void Canvas::FillPoly(const std::vector<Vec>& points, const Shader& shader) {
    if (points.size() < 3) {
        return;
    }
    float top = points[0].y;
    float bottom = points[0].y;
    for (const Vec& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int ay = std::max(0, static_cast<int>(std::floor(top)));
    const int by = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)));
    std::vector<float> crossings;
    for (int y = ay; y <= by; ++y) {
        const float cy = y + 0.5f;
        crossings.clear();
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Vec& a = points[i];
            const Vec& b = points[j];
            if ((a.y > cy) != (b.y > cy)) {
                crossings.push_back(a.x + (cy - a.y) / (b.y - a.y) * (b.x - a.x));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const int ax = std::max(0, static_cast<int>(std::ceil(crossings[k] - 0.5f)));
            const int bx = std::min(width_, static_cast<int>(std::ceil(crossings[k + 1] - 0.5f)));
            for (int x = ax; x < bx; ++x) {
                Blend(x, y, shader(x + 0.5f, cy));
            }
        }
    }
}

void Canvas::FillPoly(const std::vector<Vec>& points, const Color& c) {
    FillPoly(points, [&c](float, float) { return c; });
}

void Canvas::FillDisc(float cx, float cy, float radius, const Color& c) {
    const int ax = static_cast<int>(std::floor(cx - radius - 1));
    const int bx = static_cast<int>(std::ceil(cx + radius + 1));
    const int ay = static_cast<int>(std::floor(cy - radius - 1));
    const int by = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = ay; y <= by; ++y) {
        for (int x = ax; x <= bx; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float cover = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
            if (cover > 0.0f) {
                Blend(x, y, {c.r, c.g, c.b, c.a * cover});
            }
        }
    }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, const Color& c) {
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    const float half = width / 2.0f;
    const int ax = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    const int bx = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    const int ay = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    const int by = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    for (int y = ay; y <= by; ++y) {
        for (int x = ax; x <= bx; ++x) {
            const float px = x + 0.5f - x0;
            const float py = y + 0.5f - y0;
            const float t = std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f);
            const float d = std::hypot(px - t * dx, py - t * dy);
            const float cover = std::clamp(half + 0.5f - d, 0.0f, 1.0f);
            if (cover > 0.0f) {
                Blend(x, y, {c.r, c.g, c.b, c.a * cover});
            }
        }
    }
}

float Canvas::Text(float x, float y, const std::string& text, float size, const Color& c) {
    // The font's quads: four vertices of x, y, z and a colour each, 16 bytes a vertex. The
    // font stops quietly when the buffer is full, so a buffer without room for one more quad
    // may have cut the text short: it is drawn again into one twice as large.
    constexpr std::size_t kQuadBytes = 64;
    std::vector<char> buffer(text.size() * 270 + kQuadBytes);
    std::string copy = text;
    int quads = 0;
    for (;;) {
        quads = stb_easy_font_print(0.0f, 0.0f, copy.data(), nullptr, buffer.data(),
                                    static_cast<int>(buffer.size()));
        if ((static_cast<std::size_t>(quads) + 1) * kQuadBytes <= buffer.size()) {
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    for (int q = 0; q < quads; ++q) {
        const float* v0 = reinterpret_cast<const float*>(buffer.data() + q * kQuadBytes);
        const float* v2 = reinterpret_cast<const float*>(buffer.data() + q * kQuadBytes + 32);
        FillRect(x + v0[0] * size, y + v0[1] * size, x + v2[0] * size, y + v2[1] * size, c);
    }
    return TextWidth(text, size);
}

float Canvas::TextWidth(const std::string& text, float size) {
    std::string copy = text;
    return static_cast<float>(stb_easy_font_width(copy.data())) * size;
}

void Canvas::Vignette(float strength) {
    const float cx = width_ / 2.0f;
    const float cy = height_ / 2.0f;
    const float reach = std::hypot(cx, cy);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / reach;
            Blend(x, y, {0.0f, 0.0f, 0.0f, strength * d * d});
        }
    }
}

bool Canvas::WritePng(const std::string& path) const {
    return stbi_write_png(path.c_str(), width_, height_, 4, pixels_.data(), width_ * 4) != 0;
}
