#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A picture in memory with the few drawing operations the demo's art needs: flat and
// shaded polygons, discs, lines and block-letter text, each blended over what is there.
// Every operation is deterministic, so the same program always draws the same bytes.
struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Color Rgb(int r, int g, int b, float a = 1.0f);
Color Mix(const Color& x, const Color& y, float t);
Color Scale(const Color& c, float k);

struct Vec {
    float x = 0.0f, y = 0.0f;
};

// Deterministic value noise in [0, 1): a hash of the lattice corners, smoothly blended.
float Hash(int x, int y, int seed);
float Noise(float x, float y, int seed);

class Canvas {
public:
    using Shader = std::function<Color(float x, float y)>;

    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    void Blend(int x, int y, const Color& c);
    Color At(int x, int y) const;

    // Fills every pixel whose centre lies in the rectangle [x0, x1) x [y0, y1).
    void FillRect(float x0, float y0, float x1, float y1, const Shader& shader);
    void FillRect(float x0, float y0, float x1, float y1, const Color& c);
    // Fills a polygon (even-odd rule) sampled at pixel centres.
    void FillPoly(const std::vector<Vec>& points, const Shader& shader);
    void FillPoly(const std::vector<Vec>& points, const Color& c);
    // A disc with a soft edge one pixel wide.
    void FillDisc(float cx, float cy, float radius, const Color& c);
    // A line of the given width with round ends.
    void Line(float x0, float y0, float x1, float y1, float width, const Color& c);
    // Block letters of the given pixel size per font unit; returns the text's width.
    float Text(float x, float y, const std::string& text, float size, const Color& c);
    static float TextWidth(const std::string& text, float size);
    // Darkens towards the corners by up to `strength`.
    void Vignette(float strength);

    // Writes the picture as a PNG file; false when the file cannot be written.
    bool WritePng(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};
