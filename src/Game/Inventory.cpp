#include "Game/Inventory.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/Sprite.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <limits>

namespace {

const char* const kWhere = ".\\Game\\Inventory";
constexpr float kSoundVolume = 0.7f;
constexpr std::uint32_t kHintBox = 0x90000000;
constexpr std::uint32_t kHintColour = 0xFFCC8030;

// The icon cell `index` of a one-row atlas. Indices so large that the pixel column cannot
// be represented are held at the largest one.
Gfx::Rect IconCell(int index) {
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max() - Inventory::kIcon;
    const auto left = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{index} * Inventory::kIcon, -kLimit, kLimit));
    return Gfx::Rect{left, 0, left + Inventory::kIcon, Inventory::kIcon};
}

void PlaySound(const std::string& sound) {
    if (!sound.empty()) {
        game().sound_.PlaySfx(sound, kSoundVolume);
    }
}

} // namespace

void Inventory::Load(const XmlDom::Element& root) {
    const XmlDom::Element inventory = XmlDom::Child(root, "inventory");
    const XmlDom::Element library = XmlDom::Child(root, "library");
    texInv_ = XmlDom::RequiredAttr(inventory, "tex");
    texBack_ = XmlDom::RequiredAttr(inventory, "back");
    const XmlDom::Selection items = XmlDom::SelectNodes(inventory, "item");
    for (int i = 0; i < items.Length(); ++i) {
        const XmlDom::Element item = XmlDom::Item(items, i);
        const std::string name = XmlDom::RequiredAttr(item, "name");
        const auto index = boost::lexical_cast<int>(XmlDom::RequiredAttr(item, "index"));
        items_[name] = Item{index, XmlDom::Attr(item, "sfx", ""), XmlDom::Attr(item, "drop", "")};
    }
    texLib_ = XmlDom::RequiredAttr(library, "tex");
    LoadBooks(library);
    LoadHints(inventory);
    LoadHints(library);
}

int Inventory::CursorCell() {
    // The cursor keeps x within [0, 1], so the cell is 0 to 20.
    return static_cast<int>(game().cursor_.X() * kFrameWidth / kCell);
}

Inventory::Entry Inventory::HitTest() const {
    const float h = openness_ * kCell / kFrameHeight;
    const float x = game().cursor_.X();
    const float y = game().cursor_.Y();
    const auto cell = static_cast<std::size_t>(CursorCell());
    if (y > 1.0f - h) {
        if (cell < carried_.size()) {
            return {kItem, carried_[cell]};
        }
        if (x > kMenuCorner) {
            return {kMenu, "menu"};
        }
    }
    if (y < h && cell < collected_.size()) {
        return {kBook, collected_[cell].name};
    }
    return {kNothing, ""};
}

bool Inventory::UpdateHover() {
    const Entry entry = HitTest();
    Cursor& cursor = game().cursor_;
    // Only a change is passed on: the context is asked for every frame.
    if (entry.first != kNothing && !cursor.ItemHeld() && cursor.GetContext() != "do") {
        cursor.SetContext("do", false);
    }
    const float now = game().Time();
    if (entry.second == hoverName_) {
        if ((hoverKind_ == kItem || hoverKind_ == kBook) && hoverStart_ + opts().hintDelay_ < now) {
            showHint_ = true;
        }
    } else {
        hoverKind_ = entry.first;
        hoverName_ = entry.second;
        showHint_ = false;
        hoverStart_ = now;
    }
    return entry.first != kNothing;
}

bool Inventory::OnClick() {
    const Entry entry = HitTest();
    switch (entry.first) {
    case kMenu:
        Drop();
        game().map_.Menu();
        return true;
    case kItem:
        PickUp(entry.second);
        return true;
    case kBook:
        OpenBook(entry.second);
        return true;
    default:
        return false;
    }
}

void Inventory::OnEscape() {
    Drop();
    game().map_.Menu();
}

void Inventory::Toggle() {
    barState_ = (barState_ == kClosed || barState_ == kClosing) ? kOpening : kClosing;
}

void Inventory::PickUp(const std::string& name) {
    const auto item = items_.find(name);
    if (item != items_.end()) {
        PlaySound(item->second.sfx);
    }
    game().cursor_.SetContext(name, true);
}

void Inventory::Drop() {
    Cursor& cursor = game().cursor_;
    if (!cursor.ItemHeld()) {
        return;
    }
    const auto item = items_.find(cursor.GetContext());
    if (item != items_.end()) {
        PlaySound(item->second.drop);
    }
    cursor.SetContext("", false);
}

void Inventory::Put(const std::string& name) {
    if (!IsDefined(name)) {
        LogFormat("ERROR: Trying to add not existing item '%1%'", LogValue(name));
    } else if (Has(name)) {
        LogFormat("ERROR: Trying to add '%1%' that is already in inventory", LogValue(name));
    } else {
        LogFormat("Item '%1%' put to inventory", LogValue(name));
        carried_.push_back(name);
    }
}

void Inventory::Del(const std::string& name) {
    const auto found = std::find(carried_.begin(), carried_.end(), name);
    if (found == carried_.end()) {
        LogFormat("ERROR: Trying to remove unexisting item '%1%' from inventory", LogValue(name));
        return;
    }
    LogFormat("Item '%1%' removed from inventory", LogValue(name));
    carried_.erase(found);
}

bool Inventory::Has(const std::string& name) {
    return std::find(carried_.begin(), carried_.end(), name) != carried_.end();
}

bool Inventory::IsDefined(const std::string& name) const {
    return items_.count(name) != 0;
}

void Inventory::Reset() {
    carried_.clear();
    collected_.clear();
    from_.clear();
}

void Inventory::Render(float now) {
    const float dt = now - lastTime_;
    if (barState_ == kOpening) {
        openness_ += dt / kSlideMs;
        if (openness_ > 1.0f) {
            openness_ = 1.0f;
            barState_ = kOpen;
        }
    } else if (barState_ == kClosing) {
        openness_ -= dt / kSlideMs;
        if (openness_ < 0.0f) {
            openness_ = 0.0f;
            barState_ = kClosed;
        }
    }
    if (barState_ != kClosed) {
        DrawBars(openness_ + game().exposure_);
    }
    if (barState_ == kOpen) {
        DrawHint();
    }
    lastTime_ = now;
}

void Inventory::DrawBars(float v) {
    Gfx::Sprite& sprite = GfxLink::Sprite();
    CheckResult(sprite.Begin(Gfx::SpriteAlphaBlend), kWhere, "dx().sprite()->Begin ( (1 << 4) )");
    const float itemTop = kFrameHeight - kCell * v;
    const Gfx::Vector3 back{0.0f, itemTop, 0.0f};
    CheckResult(
        sprite.Draw(SimpleOnce(texBack_, backMissing_), nullptr, nullptr, &back, 0xFFFFFFFF),
        kWhere, "dx().sprite()->Draw(texBack_(), NULL, NULL, &pos, 0xFFFFFFFF)");
    // An entry whose definition is gone (a save game of another definition) keeps its cell
    // and draws nothing.
    const std::shared_ptr<Gfx::Texture> itemAtlas = SimpleOnce(texInv_, itemsMissing_);
    for (std::size_t i = 0; i < carried_.size(); ++i) {
        const auto item = items_.find(carried_[i]);
        if (item == items_.end()) {
            continue;
        }
        const Gfx::Rect cell = IconCell(item->second.index);
        const Gfx::Vector3 at{kCell * static_cast<float>(i), itemTop, 0.0f};
        CheckResult(sprite.Draw(itemAtlas, &cell, nullptr, &at, 0xFFFFFFFF), kWhere,
                    "dx().sprite()->Draw(texInv_(), &rc, NULL, &pos, 0xFFFFFFFF)");
    }
    const std::shared_ptr<Gfx::Texture> bookAtlas = SimpleOnce(texLib_, booksMissing_);
    for (std::size_t i = 0; i < collected_.size(); ++i) {
        const auto book = books_.find(collected_[i].name);
        if (book == books_.end()) {
            continue;
        }
        const Gfx::Rect cell = IconCell(book->second.index);
        const Gfx::Vector3 at{kCell * static_cast<float>(i), kCell * v - kCell, 0.0f};
        CheckResult(sprite.Draw(bookAtlas, &cell, nullptr, &at, 0xFFFFFFFF), kWhere,
                    "dx().sprite()->Draw(texLib_(), &rc, NULL, &pos, 0xFFFFFFFF)");
    }
    CheckResult(sprite.End(), kWhere, "dx().sprite()->End()");
}

void Inventory::DrawHint() {
    if (!showHint_) {
        return;
    }
    const int cell = CursorCell();
    std::wstring& text = hints_[hoverName_];
    if (text.empty()) {
        text = Gfx::DecodeCodePage(hoverName_);
        LogWrite("WARNING: hint is empty");
    }
    const int x0 = 50 * cell + 25;
    const int y0 = hoverKind_ == kItem ? 700 : 50;
    const int y1 = y0 + 18;
    const int x1 = x0 + 16 + 8 * static_cast<int>(text.size());

    Gfx::Device& device = GfxLink::Device();
    // The box blends over the frame; the blend state is put back for the draws that follow.
    std::uint32_t blending = 0;
    CheckResult(device.GetRenderState(Gfx::RenderState::AlphaBlendEnable, blending), kWhere,
                "dx().device()->GetRenderState( D3DRS_ALPHABLENDENABLE, &blending )");
    CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, 1), kWhere,
                "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, TRUE )");
    CheckResult(device.SetTexture(0, nullptr), kWhere, "dx().device()->SetTexture ( 0, 0 )");
    CheckResult(device.SetFvf(Gfx::FvfXyzRhw | Gfx::FvfDiffuse), kWhere,
                "dx().device()->SetFVF( 0x004 | 0x040 )");
    struct Vertex {
        float x, y, z, rhw;
        std::uint32_t colour;
    };
    static_assert(sizeof(Vertex) == 20);
    const auto fx0 = static_cast<float>(x0);
    const auto fx1 = static_cast<float>(x1);
    const auto fy0 = static_cast<float>(y0);
    const auto fy1 = static_cast<float>(y1);
    const Vertex vtx[4] = {{fx0, fy0, 1.0f, 1.0f, kHintBox},
                           {fx1, fy0, 1.0f, 1.0f, kHintBox},
                           {fx0, fy1, 1.0f, 1.0f, kHintBox},
                           {fx1, fy1, 1.0f, 1.0f, kHintBox}};
    CheckResult(device.DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, vtx, sizeof(Vertex)),
                kWhere,
                "dx().device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vtx, "
                "sizeof(Vertex) )");
    CheckResult(device.SetRenderState(Gfx::RenderState::AlphaBlendEnable, blending), kWhere,
                "dx().device()->SetRenderState( D3DRS_ALPHABLENDENABLE, blending )");
    const Gfx::Rect rect{x0, y0, x1, y1};
    CheckResult(
        GfxLink::Font().DrawTextW(text, -1, rect, Gfx::TextCenter | Gfx::TextNoClip, kHintColour),
        kWhere, "dx().font()->DrawTextW(NULL, text, -1, &rc, DT_CENTER | DT_NOCLIP, color)");
}
