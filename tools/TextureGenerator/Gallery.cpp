// The lighthouse gallery at night, traced ray by ray: the glazed lantern with its lamp ahead,
// the hatch and the stair down into the tower on the left, the iron floor and railing all
// round, the sea thirty metres below, the coast with the keeper's house on the right.

#include "Panoramas.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace Panoramas {

namespace {

using namespace Night;

constexpr double kFar = std::numeric_limits<double>::infinity();
constexpr double kFloor = -1.6;    // the gallery floor below the eye
constexpr double kSea = -31.6;     // the sea below the eye
const V3 kAxis = {0, 0, 4};        // the lantern's axis, ahead
constexpr double kLantern = 2.5;   // its radius
constexpr double kRailing = 5.2;   // the railing's radius around the axis
constexpr double kGlassLow = -0.6; // the glazing's bottom
constexpr double kGlassHigh = 1.5; // and top
const V3 kLamp = {0, 0.4, 4};      // the lamp's flame
const Moon kMoon = {2.6, 0.38, 0.03};
constexpr int kSeed = 700;

// The hatch in the floor: its centre, the direction the stair runs down (along) and across.
const V3 kHatch = {-1.45, kFloor, 0.9};
const V3 kAlong = {-0.906, 0, 0.424};
const V3 kAcross = {-0.424, 0, -0.906};
constexpr double kHatchLength = 0.7, kHatchWidth = 0.45; // half sizes
constexpr double kStep = 0.25, kRise = 0.2;

const V3 kMoonLight = Direction(kMoon.heading, kMoon.pitch);

// Distances along d to a vertical cylinder around `centre` (x, z); `inside` takes the far
// root, for a viewer inside the cylinder.
double Cylinder(const V3& d, const V3& centre, double radius, bool inside) {
    const double a = d.x * d.x + d.z * d.z;
    const double b = -2 * (d.x * centre.x + d.z * centre.z);
    const double c = centre.x * centre.x + centre.z * centre.z - radius * radius;
    const double disc = b * b - 4 * a * c;
    if (a < 1e-12 || disc < 0) {
        return kFar;
    }
    const double t = (-b + (inside ? 1 : -1) * std::sqrt(disc)) / (2 * a);
    return t > 0 ? t : kFar;
}

// The angle of a point around the lantern's axis.
double Around(const V3& p) {
    return std::atan2(p.x - kAxis.x, p.z - kAxis.z);
}

double AxisDistance(const V3& p) {
    return std::hypot(p.x - kAxis.x, p.z - kAxis.z);
}

// The closest approach of the ray to a round bar from a to b of the given radius.
double Bar(const V3& d, const V3& a, const V3& b, double radius) {
    const V3 u = b - a;
    const double uu = u.Dot(u), ud = u.Dot(d), ua = u.Dot(a), da = d.Dot(a);
    const double den = uu - ud * ud;
    if (den < 1e-12) {
        return kFar;
    }
    const double s = std::clamp((ud * da - ua) / den, 0.0, 1.0);
    const V3 q = a + u * s;
    const double t = d.Dot(q);
    if (t <= 0) {
        return kFar;
    }
    return (d * t - q).Length() < radius ? t : kFar;
}

// The handrail round the hatch: posts at the corners and halfway, rails on three sides.
const std::vector<std::pair<V3, V3>>& HatchRail() {
    static const std::vector<std::pair<V3, V3>> bars = [] {
        std::vector<std::pair<V3, V3>> out;
        const V3 up = {0, 0.95, 0};
        const auto corner = [](double a, double c) {
            return kHatch + kAlong * (a * kHatchLength) + kAcross * (c * kHatchWidth);
        };
        const V3 posts[] = {corner(-1, -1), corner(0, -1), corner(1, -1),
                            corner(1, 1),   corner(0, 1),  corner(-1, 1)};
        for (const V3& p : posts) {
            out.push_back({p, p + up});
        }
        for (int i = 0; i + 1 < 6; ++i) {
            out.push_back({posts[i] + up, posts[i + 1] + up});
        }
        return out;
    }();
    return bars;
}

// Light from the moon on a surface of normal n, plus the night's faint ambient.
float Moonlit(const V3& n, float ambient = 0.35f) {
    return ambient + 0.9f * float(std::max(0.0, n.Dot(kMoonLight)));
}

Color LampGlow(const V3& d, double wide) {
    const double a = Angle(d, kLamp.Unit());
    return Scale(Rgb(255, 205, 120), float(0.9 * std::exp(-a / 0.07) + wide * std::exp(-a / 0.35)));
}

// Inside the glazing: the lens around the lamp, or the dim lantern room behind it.
Color Interior(const V3& d) {
    const double t = Cylinder(d, kAxis, 0.85, false);
    if (t < kFar) {
        const V3 p = d * t;
        if (p.y > -0.35 && p.y < 1.15) {
            const double y = p.y - kLamp.y;
            const double ring = std::fmod(std::fabs(y) / 0.085, 1.0);
            const double prism = 0.55 + 0.45 * Smooth(0.15, 0.5, ring) * Smooth(0.95, 0.6, ring);
            const double frame = std::fabs(std::remainder(Around(p), 0.6)) < 0.02 ? 0.45 : 1.0;
            const double heart = 0.5 + 2.2 * std::exp(-y * y / 0.03);
            return Scale(Rgb(255, 214, 140), float(prism * frame * heart));
        }
    }
    const V3 back = d * Cylinder(d, kAxis, kLantern - 0.05, true);
    return Add(Rgb(34, 25, 16), Rgb(120, 80, 40),
               float(std::exp(-(back.y - 0.4) * (back.y - 0.4))));
}

Color Lantern(const V3& d, const V3& p) {
    const V3 n = V3{p.x - kAxis.x, 0, p.z - kAxis.z}.Unit();
    const double phi = Around(p);
    if (p.y < kGlassLow) {
        // The cast iron base, painted cream, in panels.
        const bool seam = std::fabs(std::remainder(phi, 0.26)) < 0.006 ||
                          std::fabs(p.y + 1.15) < 0.015 || std::fabs(p.y - kGlassLow) < 0.04;
        const Color paint = seam ? Rgb(24, 22, 20) : Rgb(70, 64, 56);
        return Add(Scale(paint, Moonlit(n, 0.4f)), LampGlow(d, 0.15), 0.4f);
    }
    if (p.y < kGlassHigh) {
        const bool mullion = std::fabs(std::remainder(phi + kPi / 12, kPi / 6)) < 0.012;
        const bool bar = std::fabs(p.y - 0.45) < 0.025 || p.y > kGlassHigh - 0.05;
        if (mullion || bar) {
            return Add(Scale(Rgb(70, 56, 30), Moonlit(n)), LampGlow(d, 0.3), 0.5f);
        }
        // Glass: the lamp room seen through it, with a faint reflection of the sky.
        const Color through = Interior(d);
        const Color glass = Mix(through, Rgb(40, 46, 80), 0.12f);
        return Add(glass, LampGlow(d, 0.35));
    }
    return Scale(Rgb(24, 26, 24), Moonlit(n));
}

// The roof over the lantern: a cone to a ventilator ball; the distance, or kFar.
double Roof(const V3& d, V3& normal) {
    const double k = 2.4 / 1.35, a0 = 2.65 + kGlassHigh * k + 0.25 * k;
    const double base = kGlassHigh + 0.25;
    const double a = d.x * d.x + d.z * d.z - k * k * d.y * d.y;
    const double b = -2 * d.z * kAxis.z + 2 * a0 * k * d.y;
    const double c = kAxis.z * kAxis.z - a0 * a0;
    const double disc = b * b - 4 * a * c;
    double best = kFar;
    if (disc >= 0 && std::fabs(a) > 1e-12) {
        for (double sign : {-1.0, 1.0}) {
            const double t = (-b + sign * std::sqrt(disc)) / (2 * a);
            const V3 p = d * t;
            if (t > 0 && t < best && p.y >= base && p.y <= 3.1) {
                best = t;
                const V3 radial = V3{p.x - kAxis.x, 0, p.z - kAxis.z}.Unit();
                normal = (radial + V3{0, k, 0}).Unit();
            }
        }
    }
    // The cornice band between the glazing and the cone.
    const double band = Cylinder(d, kAxis, 2.65, false);
    if (band < best && (d * band).y >= kGlassHigh && (d * band).y < base) {
        best = band;
        normal = (d * band - kAxis).Unit();
        normal.y = 0;
    }
    // The ventilator ball.
    const V3 ball = {0, 3.35, kAxis.z};
    const double bd = d.Dot(ball), disc2 = bd * bd - ball.Dot(ball) + 0.09;
    if (disc2 >= 0 && bd - std::sqrt(disc2) < best) {
        best = bd - std::sqrt(disc2);
        normal = (d * best - ball).Unit();
    }
    return best;
}

// What the ray sees through the hatch: the stair going down into the tower.
Color Stairwell(const V3& d, double t0) {
    const V3 step = d * 0.01;
    V3 p = d * t0;
    for (int i = 0; i < 400; ++i) {
        const V3 q = p + step;
        const V3 rel = q - kHatch;
        const double a = rel.Dot(kAlong), c = rel.Dot(kAcross);
        const double depth = kFloor - q.y;
        const double fade = std::exp(-depth * 0.9);
        const Color warm = Scale(Rgb(90, 52, 22), float(Smooth(0.5, 2.5, depth) * 0.6));
        if (std::fabs(c) > kHatchWidth || a < -kHatchLength) {
            // The shaft's brick walls.
            const float brick =
                Hash(int(std::floor(q.y / 0.08)), int(std::floor((a + c) / 0.2)), kSeed + 5);
            return Add(Scale(Rgb(56, 40, 32), float((0.6 + 0.4 * brick) * fade)), warm);
        }
        const int k = int(std::floor((a + kHatchLength) / kStep));
        const double top = kFloor - kRise * (std::max(k, 0) + 1);
        if (q.y < top) {
            // Treads are lit from above; risers face away from the light.
            const bool tread = p.y >= top;
            const double nose = (a + kHatchLength) / kStep - k;
            Color stone = tread ? Rgb(112, 104, 92) : Rgb(46, 42, 38);
            if (tread && nose > 0.88) {
                stone = Rgb(150, 140, 120);
            }
            return Add(Scale(stone, float(fade)), warm);
        }
        p = q;
    }
    return Rgb(20, 12, 6);
}

Color Floor(const V3& d, const V3& p) {
    const V3 rel = p - kHatch;
    const double a = rel.Dot(kAlong), c = rel.Dot(kAcross);
    if (std::fabs(a) < kHatchLength && std::fabs(c) < kHatchWidth) {
        return Stairwell(d, d.Dot(p));
    }
    if (std::fabs(a) < kHatchLength + 0.05 && std::fabs(c) < kHatchWidth + 0.05) {
        return Scale(Rgb(70, 60, 40), Moonlit({0, 1, 0}));
    }
    const double r = AxisDistance(p), phi = Around(p);
    const bool seam =
        std::fabs(std::remainder(phi, 0.2)) * r < 0.012 || std::fabs(r - 3.85) < 0.012;
    const float grain = Fbm(p.x * 3.0, p.z * 3.0, kSeed + 7, 3);
    Color iron = Scale(Rgb(52, 48, 44), 0.75f + 0.5f * grain);
    if (seam) {
        iron = Rgb(22, 20, 18);
    }
    const Color spill = Scale(Rgb(110, 80, 40), float(std::exp(-(r - kLantern) / 0.8) * 0.35));
    return Add(Scale(iron, Moonlit({0, 1, 0}, 0.4f)), spill);
}

Color Railing(const V3& p) {
    const V3 n = V3{kAxis.x - p.x, 0, kAxis.z - p.z}.Unit();
    return Scale(Rgb(34, 32, 30), Moonlit(n * -1.0, 0.5f) + (p.y > -0.62 ? 0.4f : 0.0f));
}

// The far shore on the right, with the keeper's house and its lit window.
bool Coast(const V3& d, Color& out) {
    const double h = Heading(d), p = Pitch(d);
    if (h < 1.25 || h > 2.35 || p > 0.06 || p < -0.004) {
        return false;
    }
    const double u = (h - 1.25) / 1.1;
    const double height = 0.004 + 0.04 * std::pow(std::sin(u * kPi), 0.7) *
                                      (0.75 + 0.25 * Noise(float(h * 25.0), 0.0f, kSeed + 9));
    if (p > height) {
        return false;
    }
    out = Rgb(9, 11, 16);
    const double wh = Turn(1.95, h), wp = p - (height - 0.006);
    if (std::fabs(wh) < 0.003 && std::fabs(wp) < 0.002) {
        out = Rgb(255, 200, 110);
    }
    out = Add(out, Rgb(255, 190, 100), float(0.4 * std::exp(-(wh * wh + wp * wp) / 0.00004)));
    return true;
}

Color Below(const V3& d) {
    const double t = kSea / d.y;
    const V3 p = d * t;
    const double r = AxisDistance(p);
    Color c = Sea(d, -kSea, kMoon, kSeed);
    // Rocks at the tower's foot and the surf breaking on them.
    const float ragged = Fbm(p.x * 0.4, p.z * 0.4, kSeed + 11, 3);
    if (r < 7.5 + 2.5 * ragged) {
        c = Scale(Rgb(40, 38, 36), 0.6f + 0.6f * Fbm(p.x * 2.0, p.z * 2.0, kSeed + 12, 2));
    } else if (r < 10.0 + 3.5 * ragged) {
        const float foam = Fbm(p.x * 1.5, p.z * 1.5, kSeed + 13, 3);
        c = Mix(c, Rgb(190, 196, 210), float(Smooth(0.4, 0.7, foam)) * 0.8f);
    }
    return c;
}

} // namespace

Color Gallery(const V3& d) {
    double best = kFar;
    Color colour;
    // The lantern, its roof and the hatch are tested only in their quarters of the view.
    const bool ahead = d.z > 0 && std::fabs(d.x) < 0.85 * d.z;
    const double tl = ahead ? Cylinder(d, kAxis, kLantern, false) : kFar;
    if (tl < kFar && (d * tl).y > kFloor && (d * tl).y < kGlassHigh + 0.25) {
        best = tl;
        colour = Lantern(d, d * tl);
    }
    V3 normal;
    const double tr = ahead && d.y > 0 ? Roof(d, normal) : kFar;
    if (tr < best) {
        best = tr;
        colour = Scale(Rgb(26, 38, 32),
                       Moonlit(normal, 0.3f) *
                           (std::fabs(std::remainder(Around(d * tr), 0.4)) < 0.01 ? 0.5f : 1.0f));
    }
    const bool hatchward = d.x < 0 && d.y < 0.2 && Angle(d, kHatch.Unit()) < 0.75;
    for (const auto& [a, b] : hatchward ? HatchRail() : std::vector<std::pair<V3, V3>>{}) {
        const double t = Bar(d, a, b, 0.022);
        if (t < best) {
            best = t;
            colour = Scale(Rgb(46, 40, 34), Moonlit((d * -1.0 + V3{0, 1, 0}).Unit(), 0.5f));
        }
    }
    if (d.y < 0) {
        const double tf = kFloor / d.y;
        const V3 p = d * tf;
        const double r = AxisDistance(p);
        if (tf < best && r > kLantern && r < kRailing) {
            best = tf;
            colour = Floor(d, p);
        }
    }
    const double tg = Cylinder(d, kAxis, kRailing, true);
    if (tg < best) {
        const V3 p = d * tg;
        const double phi = Around(p);
        const bool rail = std::fabs(p.y + 0.6) < 0.035 || std::fabs(p.y + 1.1) < 0.02;
        const bool post = std::fabs(std::remainder(phi, 0.12)) * kRailing < 0.02;
        const bool kick = p.y < kFloor + 0.12;
        if (p.y > kFloor && p.y < -0.565 && (rail || post || kick)) {
            best = tg;
            colour = Railing(p);
        }
    }
    if (best < kFar) {
        return colour;
    }
    if (Coast(d, colour)) {
        return colour;
    }
    return d.y < -0.0005 ? Below(d) : Sky(d, kMoon, kSeed);
}

} // namespace Panoramas
