#pragma once

#include "Game/MissingPicture.h"
#include "Game/XmlDom.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace Gfx {
class Sprite;
class Texture;
} // namespace Gfx

// The game's own mouse pointer: a position in normalised screen units ((0, 0) the top left
// corner of the 1024x768 frame, (1, 1) the bottom right), moved by the scenes with the
// relative mouse motion, and a look chosen by naming a context of the definition. It draws
// as one 48x48 cell of an atlas whose cells lie side by side in one row; the hot spot is 25
// pixels right of and below the cell's top left corner.
class Cursor {
public:
    static constexpr int kCell = 48;
    static constexpr int kHotSpot = 25;

    Cursor() = default;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // The definition's `cursor` element: the atlas path "tex" and the `context` children
    // with their "index" and "name" (all required; a later context of the same name
    // replaces the earlier). A missing attribute or an index that is not a whole number
    // throws.
    void Load(const XmlDom::Element& element);

    // Each coordinate clamped to [0, 1]; a coordinate that is not a number is ignored.
    void SetPos(float x, float y);
    // Moves by a relative mouse motion scaled by the player's sensitivity (clamped to
    // [0, 1]; not a number counts as the default 0.5): 1800 mouse units cross the screen at
    // sensitivity 0, 200 at 1. The position stays on the screen, and an axis whose motion
    // is not a number stays where it was.
    void Move(float dx, float dy);
    // Selects the look of the named context and stores the item-held flag. An unknown
    // name changes nothing and is logged the first time.
    void SetContext(const std::string& name, bool itemHeld);

    // Draws the current cell at the pointer's position, inside the open batch of the
    // device's sprite, with the atlas the texture manager holds for the path (nothing when
    // it cannot be loaded; a failed atlas is asked for once).
    void Draw() const;
    // The same with a given sprite and atlas texture.
    void Draw(Gfx::Sprite& sprite, const std::shared_ptr<Gfx::Texture>& atlas) const;

    float X() const { return x_; }
    float Y() const { return y_; }
    // The current context's name, "" before one is selected. Lua "context".
    std::string GetContext() { return context_; }
    int Index() const { return index_; }
    bool ItemHeld() const { return itemHeld_; }
    const std::string& Texture() const { return tex_; }

private:
    float x_ = 0.5f;
    float y_ = 0.5f;
    std::map<std::string, std::int32_t> contexts_;
    std::string context_;
    bool itemHeld_ = false;
    std::int32_t index_ = 0;
    std::string tex_;
    mutable MissingPicture atlasMissing_;
    // The unknown context names logged so far.
    std::set<std::string> warned_;
};
