// The menus' pictures: the main menu's title and buttons, shown as sprites over its
// panorama; the save, load and options screens on an open ledger; the slider's knob and the
// switch.

#include "Art.h"
#include "Painting.h"

#include <cmath>
#include <string>

namespace Art {

namespace {

const Color kInk = Rgb(46, 36, 24);

// A dotted line from x0 to x1, the way a ledger's columns are ruled.
void Dots(Canvas& c, float x0, float x1, float y) {
    for (float x = x0; x < x1; x += 12) {
        c.FillDisc(x, y, 1.5f, Rgb(90, 70, 50, 0.6f));
    }
}

} // namespace

Canvas Title() {
    Canvas c(512, 128);
    Paint::CentredText(c, 256, 14, "KORVANTINE", 8.0f, Rgb(245, 225, 170));
    Paint::CentredText(c, 256, 84, "the keeper's house", 3.0f, Rgb(210, 200, 180));
    return c;
}

Canvas Buttons() {
    // Each button in three looks side by side over two columns: dimmed (no game to go on
    // with), plain and lit (under the pointer).
    Canvas c(512, 512);
    const char* labels[kButtons] = {"New game",  "Continue", "Save game",
                                    "Load game", "Options",  "Quit"};
    for (int b = 0; b < kButtons; ++b) {
        for (int look = 0; look < 3; ++look) {
            const int cell = b * 3 + look;
            const float x = float(cell % 2 * kButtonW), y = float(cell / 2 * kButtonH);
            Paint::Plaque(c, x + 2, y + 2, kButtonW - 4, kButtonH - 4, labels[b], 3.0f, look == 2);
            if (look == 0) {
                c.FillRect(x, y, x + kButtonW, y + kButtonH, Color{0.05f, 0.05f, 0.08f, 0.6f});
            }
        }
    }
    return c;
}

Canvas SaveScreen(bool save) {
    Canvas c(1024, 1024);
    Paint::Ledger(c, save ? 201 : 202);
    Paint::CentredText(c, 512, 96, save ? "Save the game" : "Load a game", 5.0f, kInk);
    for (int i = 0; i < kSlots; ++i) {
        const float y = float(kSlotY + i * kSlotStep);
        c.FillRect(kSlotX, y, kSlotX + kSlotW, y + kSlotH, Rgb(200, 180, 140, 0.35f));
        Dots(c, kSlotX + 10, kSlotX + kSlotW - 10, y + kSlotH - 6);
    }
    Paint::Plaque(c, kBackX, kBackY, kBackW, kBackH, "Back", 3.0f);
    Paint::ClearBelowScreen(c);
    return c;
}

Canvas OptionsScreen() {
    Canvas c(1024, 1024);
    Paint::Ledger(c, 203);
    Paint::CentredText(c, 512, 96, "Options", 5.0f, kInk);
    const char* labels[] = {"Sound volume", "Music volume",  "Brightness",
                            "Mouse speed",  "Light shaders", "Idle camera sway"};
    for (int i = 0; i < 6; ++i) {
        const float y = float(kOptionY + i * kOptionStep);
        c.Text(160, y - 10, labels[i], 3.0f, kInk);
        if (i < 4) {
            // The slider's groove; the knob is drawn over it.
            c.FillRect(kSliderX0 - 6, y - 5, kSliderX1 + 6, y + 5, Rgb(90, 70, 48));
            c.FillRect(kSliderX0 - 4, y - 3, kSliderX1 + 4, y + 3, Rgb(40, 28, 18));
            for (int tick = 0; tick <= 4; ++tick) {
                const float x = kSliderX0 + (kSliderX1 - kSliderX0) * tick / 4.0f;
                c.FillRect(x - 1, y + 8, x + 1, y + 16, Rgb(90, 70, 48));
            }
        }
    }
    Paint::Plaque(c, kBackX, kBackY, kBackW, kBackH, "Back", 3.0f);
    Paint::ClearBelowScreen(c);
    return c;
}

Canvas Knob() {
    Canvas c(32, 32);
    c.FillRect(2, 0, 30, 32, Rgb(40, 26, 14));
    c.FillRect(4, 2, 28, 30, [](float x, float y) {
        return Scale(Rgb(210, 170, 80), 1.1f - 0.02f * y - 0.005f * x);
    });
    c.FillRect(14, 6, 18, 26, Rgb(120, 90, 40));
    return c;
}

Canvas Switch() {
    // Two cells: off (the knob left, dark) and on (the knob right, lit).
    Canvas c(2 * kSwitchW, kSwitchH);
    for (int on = 0; on < 2; ++on) {
        const float x = float(on * kSwitchW);
        c.FillRect(x + 2, 4, x + kSwitchW - 2, kSwitchH - 4, Rgb(40, 26, 14));
        c.FillRect(x + 4, 6, x + kSwitchW - 4, kSwitchH - 6,
                   on ? Rgb(200, 150, 60) : Rgb(70, 60, 50));
        const float knob = on ? x + kSwitchW - 16 : x + 16;
        c.FillDisc(knob, kSwitchH / 2.0f, 11, Rgb(30, 20, 12));
        c.FillDisc(knob, kSwitchH / 2.0f, 9, on ? Rgb(255, 235, 180) : Rgb(150, 140, 130));
    }
    return c;
}

} // namespace Art
