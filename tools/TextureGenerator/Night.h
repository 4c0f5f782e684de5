#pragma once

#include "DemoArt/Canvas.h"

#include <cmath>
#include <cstdint>
#include <functional>

// A small kit for the demo's night panoramas: directions and points, the sky with its moon,
// stars and clouds, and the sea seen from a height. A panorama is a function from a view
// direction to a colour; RenderCube samples it over the six faces of a cube map.
namespace Night {

constexpr double kPi = 3.14159265358979323846;

struct V3 {
    double x = 0, y = 0, z = 0;
    V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    V3 operator*(double k) const { return {x * k, y * k, z * k}; }
    double Dot(const V3& o) const { return x * o.x + y * o.y + z * o.z; }
    double Length() const { return std::sqrt(Dot(*this)); }
    V3 Unit() const { return *this * (1.0 / Length()); }
};

// The direction of a heading (0 ahead, turning right) and a pitch (up), in radians: the
// engine's convention (x right, y up, z ahead).
V3 Direction(double heading, double pitch);
double Heading(const V3& d);
double Pitch(const V3& d);
// The angle between two unit directions.
double Angle(const V3& a, const V3& b);
// A heading difference folded into [-pi, pi].
double Turn(double from, double to);

double Smooth(double edge0, double edge1, double x);
Color Add(const Color& a, const Color& b, float k = 1.0f);
// Fractal value noise in [0, 1) from the demo art's noise.
float Fbm(double x, double y, int seed, int octaves = 4);

struct Moon {
    double heading, pitch, radius;
};

// The night sky in direction d: a deep blue gradient, stars, thin clouds lit by the moon and
// the moon with its halo.
Color Sky(const V3& d, const Moon& moon, int seed);
// The sea surface seen from `height` metres above it along d (d pointing down), its waves in
// perspective and the moon's path on them.
Color Sea(const V3& d, double height, const Moon& moon, int seed);

// Renders the six faces of `size` texels, one face per thread, in the texture generator's face
// order (+x, -x, +y, -y, +z, -z) one below the other: one ray through each texel, and four
// for the texels on an edge of the picture.
using Shader = std::function<Color(const V3& d)>;
struct Faces {
    int size;
    std::vector<std::uint32_t> argb; // 0xAARRGGBB, size x 6*size
};
Faces RenderCube(int size, const Shader& shade);

} // namespace Night
