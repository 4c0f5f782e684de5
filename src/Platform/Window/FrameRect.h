#pragma once

namespace Platform {

// A rectangle in pixels of a window's drawable area, origin at the top left.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the 1024x768 frame goes in a drawable area of width x height: the largest 4:3
// rectangle that fits, centred (black bars fill the rest). Empty for an empty area.
Rect LetterboxRect(int width, int height);

} // namespace Platform
