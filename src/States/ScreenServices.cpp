// The pointer is the game's cursor; the bars are the game's inventory.

#include "States/ScreenServices.h"

#include "Game/Game.h"

namespace State::ScreenServices {

float PointerX() {
    return game().cursor_.X();
}

float PointerY() {
    return game().cursor_.Y();
}

void MovePointer(float dx, float dy) {
    game().cursor_.Move(dx, dy);
}

void SetPointerContext(const std::string& context) {
    // Screens set the context every frame: only a change is passed on (setting the same
    // context again changes nothing). They never set the item look: the carried item's flag
    // stays as it is.
    Cursor& cursor = game().cursor_;
    if (cursor.GetContext() != context) {
        cursor.SetContext(context, cursor.ItemHeld());
    }
}

std::string PointerContext() {
    return game().cursor_.GetContext();
}

bool PointerHoldsItem() {
    return game().cursor_.ItemHeld();
}

void SetPointer(float x, float y) {
    game().cursor_.SetPos(x, y);
}

bool InventoryUnderPointer() {
    return game().inventory_.UpdateHover();
}

bool InventoryTakesClick() {
    return game().inventory_.OnClick();
}

void InventoryEscape() {
    game().inventory_.OnEscape();
}

void InventoryToggle() {
    game().inventory_.Toggle();
}

void InventoryDrop() {
    game().inventory_.Drop();
}

} // namespace State::ScreenServices
