#pragma once

#include <string>

// What the screens need of the cursor and of the inventory bar, in one narrow place: the
// pointer's position in normalised screen units (x to the right, y downwards), its motion
// and context, and the bar's hover, press, keys and dropping of a carried item.
namespace State::ScreenServices {

float PointerX();
float PointerY();
void MovePointer(float dx, float dy);
void SetPointerContext(const std::string& context);
std::string PointerContext();
// Whether the pointer carries an inventory item.
bool PointerHoldsItem();
// Places the pointer (tests and scripted input).
void SetPointer(float x, float y);

// The bar is under the pointer (it sets the context itself).
bool InventoryUnderPointer();
// A primary press on the bar; true when the bar took it.
bool InventoryTakesClick();
// Escape: any carried item is dropped and the game menu opens.
void InventoryEscape();
// Opens or closes the bar.
void InventoryToggle();
// Releases a carried item.
void InventoryDrop();

} // namespace State::ScreenServices
