#pragma once

#include "Canvas.h"

// Reusable pieces of the demo's scenes: rooms in one-point perspective, doors, wallpaper,
// wood, skies and framed text.
namespace Paint {

// A quadrilateral given by its corners top-left, top-right, bottom-right, bottom-left; At
// maps (u, v) in [0, 1]^2 onto it bilinearly, so sub-shapes follow a wall's perspective.
struct Quad {
    Vec tl, tr, br, bl;
    Vec At(float u, float v) const;
    Quad Sub(float u0, float v0, float u1, float v1) const;
    std::vector<Vec> Points() const { return {tl, tr, br, bl}; }
};

// A room seen from its open side: the back wall is the rectangle; the floor, ceiling and
// side walls run from it to the screen's edges.
struct Room {
    float x0, y0, x1, y1; // back wall
    Quad Back() const;
    Quad Left() const;
    Quad Right() const;
    Quad Floor() const;
    Quad Ceiling() const;
};

Color Wood(float x, float y, const Color& base, int seed);
Color Wallpaper(float x, float y, const Color& base, const Color& stripe, int seed);

void DrawRoom(Canvas& c, const Room& room, const Color& wall, const Color& stripe,
              const Color& floor, const Color& ceiling, Vec light, int seed);
// A panelled door with frame and knob on a wall quad; `open` shows a dark gap instead.
void DrawDoor(Canvas& c, const Quad& q, const Color& wood, bool knobRight, int seed);
// A picture frame with a small landscape in it.
void DrawPainting(Canvas& c, const Quad& q, int seed);
// The night sea with moon and lighthouse, for windows and title pictures.
void DrawNightSea(Canvas& c, float x0, float y0, float x1, float y1, float horizon, bool lighthouse,
                  int seed, float moonAt = 0.72f);
// A warm pool of light around a point.
void Glow(Canvas& c, Vec at, float radius, const Color& color, float strength);
// Text centred on x.
void CentredText(Canvas& c, float cx, float y, const std::string& text, float size,
                 const Color& color);
// A wooden plaque with a label, its top left corner at (x, y); `lit` brightens it.
void Plaque(Canvas& c, float x, float y, float w, float h, const std::string& label, float size,
            bool lit = false);
// An open ledger lying on the desk, filling the screen: the menus' background.
void Ledger(Canvas& c, int seed);
// A framed, empty trough where the progress bar is drawn over the loading picture.
void ProgressFrame(Canvas& c, float x, float y, float w, float h);
// Blacks out the rows below the screen area of a full-screen texture.
void ClearBelowScreen(Canvas& c);

} // namespace Paint
