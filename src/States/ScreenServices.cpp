// The pointer is kept here until the cursor joins the game object, and the inventory bar has
// no items yet: it is never under the pointer and takes no press; Escape opens the menu.

#include "States/ScreenServices.h"

#include "Game/Game.h"
#include "Game/Opts.h"

#include <algorithm>

namespace State::ScreenServices {

namespace {

struct Pointer {
    float x = 0.5f;
    float y = 0.5f;
    std::string context;
};

Pointer& ThePointer() {
    static Pointer pointer;
    return pointer;
}

} // namespace

float PointerX() {
    return ThePointer().x;
}

float PointerY() {
    return ThePointer().y;
}

void MovePointer(float dx, float dy) {
    // The motion scaled by the player's sensitivity: 1800 mouse units cross the screen at
    // sensitivity 0, 200 at sensitivity 1.
    const float sensitivity = std::clamp(opts().mouseSensitivity_, 0.0f, 1.0f);
    const float divisor = 1800.0f - 1600.0f * sensitivity;
    Pointer& p = ThePointer();
    p.x = std::clamp(p.x + dx / divisor, 0.0f, 1.0f);
    p.y = std::clamp(p.y + dy / divisor, 0.0f, 1.0f);
}

void SetPointerContext(const std::string& context) {
    ThePointer().context = context;
}

std::string PointerContext() {
    return ThePointer().context;
}

bool PointerHoldsItem() {
    return false;
}

void SetPointer(float x, float y) {
    ThePointer().x = std::clamp(x, 0.0f, 1.0f);
    ThePointer().y = std::clamp(y, 0.0f, 1.0f);
}

bool InventoryUnderPointer() {
    return false;
}

bool InventoryTakesClick() {
    return false;
}

void InventoryEscape() {
    game().map_.Menu();
}

void InventoryToggle() {}

void InventoryDrop() {}

} // namespace State::ScreenServices
