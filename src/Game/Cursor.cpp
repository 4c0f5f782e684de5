#include "Game/Cursor.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Sprite.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <cmath>
#include <limits>

namespace {

// The position after a motion on one axis; a motion that is not a number moves nothing.
float MoveAxis(float position, float delta, float divisor) {
    const float moved = position + delta / divisor;
    return std::isnan(moved) ? position : std::clamp(moved, 0.0f, 1.0f);
}

float Sensitivity() {
    const float s = opts().mouseSensitivity_;
    return std::isnan(s) ? 0.5f : std::clamp(s, 0.0f, 1.0f);
}

} // namespace

void Cursor::Load(const XmlDom::Element& element) {
    tex_ = XmlDom::RequiredAttr(element, "tex");
    const XmlDom::Selection contexts = XmlDom::SelectNodes(element, "context");
    for (int i = 0; i < contexts.Length(); ++i) {
        const XmlDom::Element context = XmlDom::Item(contexts, i);
        const auto index =
            boost::lexical_cast<std::int32_t>(XmlDom::RequiredAttr(context, "index"));
        contexts_[XmlDom::RequiredAttr(context, "name")] = index;
    }
}

void Cursor::SetPos(float x, float y) {
    if (!std::isnan(x)) {
        x_ = std::clamp(x, 0.0f, 1.0f);
    }
    if (!std::isnan(y)) {
        y_ = std::clamp(y, 0.0f, 1.0f);
    }
}

void Cursor::Move(float dx, float dy) {
    const float divisor = 1800.0f - 1600.0f * Sensitivity();
    x_ = MoveAxis(x_, dx, divisor);
    y_ = MoveAxis(y_, dy, divisor);
}

void Cursor::SetContext(const std::string& name, bool itemHeld) {
    const auto it = contexts_.find(name);
    if (it == contexts_.end()) {
        // Screens name the context under the pointer in every frame: each unknown name is
        // logged once.
        if (warned_.insert(name).second) {
            LogWrite("Warning: no such context '" + LogValue(name) + "'");
        }
        return;
    }
    context_ = name;
    index_ = it->second;
    itemHeld_ = itemHeld;
}

void Cursor::Draw() const {
    Draw(GfxLink::Sprite(), SimpleOnce(tex_, atlasMissing_));
}

void Cursor::Draw(Gfx::Sprite& sprite, const std::shared_ptr<Gfx::Texture>& atlas) const {
    // Any index the definition gives stays a valid rectangle: computed in 64 bits and kept
    // inside the 32-bit coordinates of the sprite's rectangle.
    const std::int64_t left = std::clamp<std::int64_t>(
        std::int64_t{kCell} * index_, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max() - kCell);
    Gfx::Rect cell;
    cell.left = static_cast<std::int32_t>(left);
    cell.top = 0;
    cell.right = cell.left + kCell;
    cell.bottom = kCell;
    const Gfx::Vector3 position{x_ * 1024.0f - kHotSpot, y_ * 768.0f - kHotSpot, 0.0f};
    CheckResult(sprite.Draw(atlas, &cell, nullptr, &position, 0xFFFFFFFF), ".\\Game\\Cursor",
                "dx().sprite()->Draw(GetTexMgr().Simple(tex_), &rc, NULL, &pos, 0xFFFFFFFF)");
}
