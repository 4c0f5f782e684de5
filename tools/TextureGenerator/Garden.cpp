// The keeper's garden at night, the main menu's panorama: the whitewashed house ahead with its
// lit window, door and lantern, the garden wall with its gate and the path down to the sea,
// a bench, the lighthouse on its rock out at sea and the moon over the water behind.

#include "Panoramas.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace Panoramas {

namespace {

using namespace Night;

constexpr double kFar = std::numeric_limits<double>::infinity();
constexpr double kGround = -1.6;
constexpr double kSea = -16.6;
const Moon kMoon = {-2.7, 0.28, 0.035};
constexpr int kSeed = 800;
const V3 kMoonLight = Direction(kMoon.heading, kMoon.pitch);
constexpr double kLighthouse = 2.5, kLighthouseDistance = 130.0;

// A box with its own axes: centre, unit axes and half sizes along them.
struct Box {
    V3 centre, u, v, w;
    double hu, hv, hw;
};

// The distance along d to the box and the outward normal there, or kFar.
double Hit(const V3& d, const Box& box, V3& normal) {
    const V3 axes[3] = {box.u, box.v, box.w};
    const double half[3] = {box.hu, box.hv, box.hw};
    double near = 0.0, far = kFar;
    int face = -1;
    double sign = 1.0;
    for (int i = 0; i < 3; ++i) {
        const double o = (V3{} - box.centre).Dot(axes[i]);
        const double dir = d.Dot(axes[i]);
        if (std::fabs(dir) < 1e-12) {
            if (std::fabs(o) > half[i]) {
                return kFar;
            }
            continue;
        }
        double t0 = (-half[i] - o) / dir, t1 = (half[i] - o) / dir;
        double s = -1.0;
        if (t0 > t1) {
            std::swap(t0, t1);
            s = 1.0;
        }
        if (t0 > near) {
            near = t0, face = i, sign = s;
        }
        far = std::min(far, t1);
        if (near > far) {
            return kFar;
        }
    }
    if (face < 0) {
        return kFar;
    }
    normal = axes[face] * sign;
    return near;
}

Box Upright(const V3& centre, double heading, double hu, double hv, double hw) {
    const V3 u = {std::cos(heading), 0, -std::sin(heading)};
    return {centre, u, {0, 1, 0}, {std::sin(heading), 0, std::cos(heading)}, hu, hv, hw};
}

float Moonlit(const V3& n, float ambient = 0.3f) {
    return ambient + 0.85f * float(std::max(0.0, n.Dot(kMoonLight)));
}

bool Inside(double x, double y, double x0, double y0, double x1, double y1) {
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// Warm light around a point of the facade, falling off with distance.
Color Warmth(double x, double y, double cx, double cy, double reach, float strength) {
    const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    return Scale(Rgb(255, 180, 90), strength * float(std::exp(-r2 / (reach * reach))));
}

// A window of four panes in its white frame; lit windows glow behind thin curtains.
Color Window(double x, double y, double x0, double y0, double x1, double y1, bool lit) {
    const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2 + 0.1 * (y1 - y0);
    const bool frame = x < x0 + 0.08 || x > x1 - 0.08 || y < y0 + 0.08 || y > y1 - 0.08 ||
                       std::fabs(x - mx) < 0.035 || std::fabs(y - my) < 0.035;
    if (frame) {
        return lit ? Rgb(150, 120, 90) : Rgb(70, 72, 80);
    }
    if (!lit) {
        const double sheen = Smooth(0.3, 0.0, std::fabs((x - x0) - (y - y0) * 0.6 - 0.4));
        return Add(Rgb(10, 14, 28), Rgb(70, 80, 120), float(sheen * 0.5));
    }
    const double u = (x - x0) / (x1 - x0);
    const double curtain = Smooth(0.22, 0.12, u) + Smooth(0.78, 0.88, u);
    return Mix(Rgb(255, 196, 104), Rgb(150, 60, 40), float(curtain * 0.75));
}

// The front of the house, in the wall's own coordinates (x across, y up).
Color Facade(double x, double y) {
    if (Inside(x, y, -4.4, -0.5, -2.6, 1.0)) {
        return Window(x, y, -4.4, -0.5, -2.6, 1.0, true);
    }
    if (Inside(x, y, 2.6, -0.5, 4.4, 1.0)) {
        return Window(x, y, 2.6, -0.5, 4.4, 1.0, false);
    }
    for (double cx : {-3.1, 3.1}) {
        if (Inside(x, y, cx - 0.7, 1.9, cx + 0.7, 3.0)) {
            return Window(x, y, cx - 0.7, 1.9, cx + 0.7, 3.0, false);
        }
    }
    if (Inside(x, y, -0.7, kGround, 0.7, 0.75)) {
        // The front door: painted planks and a brass knob.
        const bool seam = std::fabs(std::remainder(x, 0.28)) < 0.012;
        Color door = seam ? Rgb(12, 20, 22) : Rgb(30, 52, 56);
        if (std::hypot(x - 0.5, y + 0.4) < 0.05) {
            door = Rgb(200, 160, 80);
        }
        return Add(door, Warmth(x, y, 1.15, 0.9, 1.2, 0.35f));
    }
    if (Inside(x, y, -0.7, 0.8, 0.7, 1.15)) {
        return Rgb(200, 140, 70); // the fanlight
    }
    if (Inside(x, y, -0.85, kGround, 0.85, 1.25)) {
        return Rgb(110, 108, 104); // the door's stone surround
    }
    // Whitewashed rubble, blotched by the weather.
    const float stone = Fbm(x * 1.7, y * 2.3, kSeed + 1, 4);
    Color wall = Scale(Rgb(88, 88, 90), 0.75f + 0.4f * stone);
    if (y < -1.2) {
        wall = Scale(wall, 0.7f); // damp at the foot
    }
    wall = Scale(wall, Moonlit({0, 0, -1}));
    wall = Add(wall, Warmth(x, y, 1.15, 0.9, 1.4, 0.45f));
    return Add(wall, Warmth(x, y, -3.5, 0.2, 1.4, 0.35f));
}

// The house's walls, roof and chimney; the distance, or kFar.
double House(const V3& d, Color& colour) {
    double best = kFar;
    V3 n;
    const Box body = {{0, 1.0, 15}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 6.0, 2.6, 3.0};
    if (const double t = Hit(d, body, n); t < best) {
        best = t;
        const V3 p = d * t;
        colour = n.z < -0.5
                     ? Facade(p.x, p.y)
                     : Scale(Rgb(78, 78, 80),
                             Moonlit(n) * (0.75f + 0.4f * Fbm(p.z * 1.7, p.y * 2.3, kSeed + 2)));
    }
    // The front slope of the slate roof, from the eaves up to the ridge.
    const V3 slope = V3{0, 2.6, 3.4}.Unit();
    const V3 roofNormal = {0, slope.z, -slope.y};
    const V3 eave = {0, 3.5, 11.6};
    const double denom = d.Dot(roofNormal);
    if (std::fabs(denom) > 1e-9) {
        const double t = eave.Dot(roofNormal) / denom;
        const V3 p = d * t;
        const double along = (p - eave).Dot(slope);
        if (t > 0 && t < best && std::fabs(p.x) < 6.3 && along >= 0 && along <= 4.3) {
            best = t;
            const bool row = std::fmod(along, 0.28) < 0.03;
            const float slate = Hash(int(std::floor(p.x / 0.4 + (int(along / 0.28) % 2) * 0.5)),
                                     int(along / 0.28), kSeed + 3);
            colour = Scale(row ? Rgb(14, 16, 22) : Rgb(52, 58, 70),
                           Moonlit(roofNormal) * (0.8f + 0.3f * slate));
        }
    }
    // The gable ends above the walls, seen edge-on at the sides.
    const Box chimney = {{4.0, 6.4, 15}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0.45, 1.2, 0.45};
    if (const double t = Hit(d, chimney, n); t < best) {
        best = t;
        colour = Scale(Rgb(120, 110, 100), Moonlit(n));
    }
    return best;
}

// The low garden wall round the lawn, broken by the gate to the cliff path.
double GardenWall(const V3& d, Color& colour) {
    const double h = Heading(d);
    const bool gap = h > 1.45 && h < 1.75;
    const bool built = !gap && std::fabs(h) > 0.8 && std::fabs(h) < 2.4;
    if (!built && !gap) {
        return kFar;
    }
    const double radius = 6.5, flat = std::hypot(d.x, d.z);
    const double t = radius / flat;
    const V3 p = d * t;
    const bool post = gap && (h < 1.49 || h > 1.71);
    const double top = post ? -0.45 : -0.8;
    if (p.y > top || p.y < kGround || (gap && !post)) {
        return kFar;
    }
    const V3 n = V3{-p.x, 0, -p.z}.Unit();
    const int course = int(std::floor((p.y - kGround) / 0.18));
    const float stone =
        Hash(int(std::floor((h * radius + course * 0.2) / 0.35)), course, kSeed + 4);
    const bool joint = std::fmod(p.y - kGround, 0.18) < 0.025;
    colour = Scale(joint ? Rgb(30, 30, 28) : Rgb(110, 106, 98),
                   Moonlit(n, 0.35f) * (0.7f + 0.5f * stone) * (p.y > top - 0.05 ? 1.25f : 1.0f));
    return t;
}

double Bench(const V3& d, Color& colour) {
    static const double heading = -1.3, distance = 4.0;
    static const V3 centre = Direction(heading, 0) * distance;
    static const Box parts[] = {
        Upright(centre + V3{0, -1.15, 0}, heading, 0.85, 0.04, 0.22),
        Upright(centre + V3{0, -0.8, 0} + Direction(heading, 0) * 0.2, heading, 0.85, 0.18, 0.03),
        Upright(centre + V3{0, -1.38, 0} + Direction(heading + kPi / 2, 0) * 0.7, heading, 0.05,
                0.22, 0.2),
        Upright(centre + V3{0, -1.38, 0} - Direction(heading + kPi / 2, 0) * 0.7, heading, 0.05,
                0.22, 0.2),
    };
    double best = kFar;
    if (Angle(d, centre.Unit()) > 0.5) {
        return best;
    }
    for (const Box& box : parts) {
        V3 n;
        if (const double t = Hit(d, box, n); t < best) {
            best = t;
            const V3 p = d * t;
            colour = Scale(Rgb(96, 70, 46),
                           Moonlit(n) * (0.8f + 0.3f * Fbm(p.x * 8, p.y * 30, kSeed + 5, 2)));
        }
    }
    return best;
}

// How far the lawn reaches in a direction before the cliff's edge.
double Edge(double heading) {
    return (std::fabs(heading) < 0.9 ? 40.0 : 13.0) +
           3.0 * Noise(float(heading * 4.0), 0.5f, kSeed + 6);
}

Color Lawn(const V3& p) {
    // The gravel path from the door out through the gate, the grass either side.
    static const std::vector<V3> path = [] {
        std::vector<V3> points;
        const V3 door = {0, kGround, 12}, bend = {3.6, kGround, 2.5}, gate = {7.5, kGround, -0.3};
        for (int i = 0; i <= 16; ++i) {
            const double s = i / 16.0;
            points.push_back(door * ((1 - s) * (1 - s)) + bend * (2 * s * (1 - s)) +
                             gate * (s * s));
        }
        return points;
    }();
    double off = kFar;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const V3 a = path[i], u = path[i + 1] - a, w = p - a;
        const double s = std::clamp((w.x * u.x + w.z * u.z) / (u.x * u.x + u.z * u.z), 0.0, 1.0);
        off = std::min(off, std::hypot(w.x - u.x * s, w.z - u.z * s));
    }
    const float grain = Fbm(p.x * 4.0, p.z * 4.0, kSeed + 7, 3);
    Color ground = off < 0.55 + 0.1 * grain ? Scale(Rgb(92, 88, 80), 0.7f + 0.5f * grain)
                                            : Scale(Rgb(28, 44, 30), 0.6f + 0.7f * grain);
    ground = Scale(ground, Moonlit({0, 1, 0}, 0.35f));
    const double door = std::hypot(p.x - 1.15, p.z - 12.0);
    return Add(ground, Rgb(255, 180, 90), float(0.35 * std::exp(-door * door / 6.0)));
}

// The lighthouse on its rock: a narrow object far away, drawn in heading and height.
bool Lighthouse(const V3& d, Color& colour) {
    const double off = Turn(kLighthouse, Heading(d)) * kLighthouseDistance;
    const double y = -kSea + kLighthouseDistance * std::tan(Pitch(d));
    if (std::fabs(off) > 16.0 || y < -0.5 || y > 37.0) {
        return false;
    }
    const double tower = 3.2 - y * 0.04;
    if (y < 3.0) {
        const double rock =
            15.0 * (1.0 - y / 3.0) * (0.8 + 0.2 * Noise(float(off), 0.0f, kSeed + 8));
        if (std::fabs(off) < rock) {
            colour = Scale(Rgb(30, 30, 34), 0.7f + 0.5f * Fbm(off * 0.5, y, kSeed + 9, 2));
            return true;
        }
    }
    const double shade = std::sqrt(std::max(0.0, 1.0 - (off / tower) * (off / tower)));
    const double light = 0.35 + 0.65 * std::max(0.0, 0.6 - 0.5 * off / tower);
    if (y >= 2.0 && y < 30.0 && std::fabs(off) < tower) {
        const bool band = (y > 10 && y < 14) || (y > 20 && y < 24);
        colour =
            Scale(band ? Rgb(150, 40, 36) : Rgb(200, 200, 196), float(light * (0.6 + 0.4 * shade)));
        return true;
    }
    if (y >= 30.0 && y < 31.0 && std::fabs(off) < 3.0) {
        colour = Rgb(30, 30, 32);
        return true;
    }
    if (y >= 31.0 && y < 34.0 && std::fabs(off) < 1.6) {
        colour = Scale(Rgb(255, 235, 170), float(1.4 - 0.4 * std::fabs(off)));
        return true;
    }
    if (y >= 34.0 && std::fabs(off) < 1.8 * (37.0 - y) / 3.0) {
        colour = Rgb(26, 28, 30);
        return true;
    }
    return false;
}

// The lamp's glow and two beams sweeping the sky from it.
Color Beams(const V3& d) {
    static const double pitch = std::atan((32.5 + kSea) / kLighthouseDistance);
    static const V3 lamp = Direction(kLighthouse, pitch);
    const double a = Angle(d, lamp);
    Color c =
        Scale(Rgb(255, 220, 150), float(0.9 * std::exp(-a / 0.012) + 0.25 * std::exp(-a / 0.08)));
    const double h = Turn(kLighthouse, Heading(d)), p = Pitch(d) - pitch;
    for (double reach : {-1.1, 0.8}) {
        const double s = h / reach;
        if (s > 0 && s < 1) {
            const double along = p - 0.02 * s;
            const double width = 0.004 + 0.05 * s;
            c = Add(c, Rgb(255, 235, 190),
                    float(0.22 * (1 - s) * std::exp(-along * along / (width * width))));
        }
    }
    return c;
}

} // namespace

Color Garden(const V3& d) {
    double best = kFar;
    Color colour;
    Color part;
    if (const double t = d.z > 0 ? House(d, part) : kFar; t < best) {
        best = t, colour = part;
    }
    if (const double t = GardenWall(d, part); t < best) {
        best = t, colour = part;
    }
    if (const double t = Bench(d, part); t < best) {
        best = t, colour = part;
    }
    if (d.y < 0) {
        const double t = kGround / d.y;
        const V3 p = d * t;
        if (t < best && std::hypot(p.x, p.z) < Edge(Heading(d))) {
            best = t, colour = Lawn(p);
        }
    }
    // The lantern by the door glows over whatever is in front of it.
    static const V3 lamp = V3{1.15, 0.9, 11.9}.Unit();
    const double lantern = Angle(d, lamp);
    const Color glow = Scale(Rgb(255, 200, 110), float(1.2 * std::exp(-lantern / 0.01) +
                                                       0.35 * std::exp(-lantern / 0.06)));
    if (best < kFar) {
        return Add(colour, glow);
    }
    if (Lighthouse(d, colour)) {
        return Add(colour, Beams(d));
    }
    const Color beyond = d.y < -0.0005 ? Sea(d, -kSea, kMoon, kSeed) : Sky(d, kMoon, kSeed);
    return Add(Add(beyond, Beams(d)), glow);
}

} // namespace Panoramas
