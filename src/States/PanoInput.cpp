// The panorama's input: mouse-look, the pointer, clicks on its controls and its keys, and
// what lies under the pointer each frame.

#include "Game/Game.h"
#include "Game/Opts.h"
#include "Include/cg/Angles.h"
#include "States/Controls/HitTest.h"
#include "States/Pano.h"
#include "States/ScreenServices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace State {

namespace {

// The pitch limit of the view right after mouse-look (0.275 pi); the next camera update
// clamps it further.
constexpr float kLookPitchLimit = 0.863938f;

} // namespace

void Pano::Input(const InputRecord* records, int count, bool keyboard) {
    if (count <= 0) {
        return;
    }
    const std::string shown = game().map_.Current();
    const std::uint32_t primary = opts().mouseLeftHanded_ ? kMouseButton1 : kMouseButton0;
    const std::uint32_t secondary = primary == kMouseButton0 ? kMouseButton1 : kMouseButton0;
    std::int64_t lookX = 0, lookY = 0, cursorX = 0, cursorY = 0;
    bool left = false;
    for (int i = 0; i < count; ++i) {
        const InputRecord& record = records[i];
        const bool pressed = (record.dwData & kPressedBit) != 0;
        const auto motion = static_cast<std::int32_t>(record.dwData);
        if (!keyboard && record.dwOfs == kMouseX) {
            (look_ ? lookX : cursorX) += motion;
            continue;
        }
        if (!keyboard && record.dwOfs == kMouseY) {
            (look_ ? lookY : cursorY) += motion;
            continue;
        }
        if (left) {
            // A click or a key moved away: the rest of the batch is not ours.
            continue;
        }
        if (!keyboard && record.dwOfs == primary) {
            pressed ? PrimaryDown() : PrimaryUp();
        } else if (!keyboard && record.dwOfs == secondary && !pressed) {
            SecondaryUp();
        } else if (keyboard && !pressed) {
            KeyUp(record.dwOfs);
        }
        left = game().map_.Current() != shown;
    }
    ScreenServices::MovePointer(float(cursorX), float(cursorY));
    if (look_) {
        float s = opts().mouseSensitivity_;
        s = std::isnan(s) ? 0.5f : std::clamp(s, 0.0f, 1.0f);
        const float k = 1800.0f - 1600.0f * s;
        course_ += float(lookX) / k;
        pitch_ += (opts().mouseInvert_ ? 1.0f : -1.0f) * float(lookY) / k;
        cg::cp<float> view{course_, pitch_};
        cg::Normalize(view, kLookPitchLimit);
        course_ = view.heading;
        pitch_ = view.pitch;
    }
    lastInput_ = now_;
}

void Pano::KeyUp(std::uint32_t key) {
    if (key == kKeyEscape) {
        if (ShowInventory()) {
            ScreenServices::InventoryEscape();
        } else if (game().map_.IsStarted()) {
            game().map_.Return();
        }
    } else if (key == kKeyI || key == kKeyEnter) {
        if (ShowInventory()) {
            ScreenServices::InventoryToggle();
        }
    } else if (key == kKeyBack && opts().debug_) {
        game().map_.DumpTransition({course_, pitch_});
    }
}

void Pano::PrimaryDown() {
    if (ShowInventory() && ScreenServices::InventoryTakesClick()) {
        return;
    }
    pressed_ = hovered_;
    if (AllowLook()) {
        look_ = true;
    }
}

void Pano::PrimaryUp() {
    look_ = false;
    const std::shared_ptr<Control::Base> control = std::exchange(pressed_, nullptr);
    if (control && control == hovered_) {
        // The click may move on: the press is over before it runs.
        control->Click();
        ScreenServices::InventoryDrop();
    }
}

void Pano::SecondaryUp() {
    if (ScreenServices::PointerHoldsItem()) {
        ScreenServices::InventoryDrop();
    } else {
        ScreenServices::InventoryToggle();
    }
}

void Pano::UpdateHover() {
    const std::shared_ptr<Control::Base> previous = std::exchange(hovered_, nullptr);
    const float x = ScreenServices::PointerX();
    const float y = ScreenServices::PointerY();
    if (!(ShowInventory() && ScreenServices::InventoryUnderPointer())) {
        const cg::point<float, 2> flat{2.0f * x - 1.0f, 1.0f - 2.0f * y};
        for (const auto& [key, sprite] : sprites_) {
            if (Control::HitTestFlat(*sprite, flat)) {
                hovered_ = sprite;
                break;
            }
        }
        // Without a direction (a camera that cannot be inverted) no control on the
        // panorama is under the pointer this frame.
        const std::optional<cg::cp<float>> direction = hovered_ ? std::nullopt : PointerDirection();
        if (direction) {
            for (const auto& [key, control] : controls_) {
                if (Control::HitTestPano(*control, *direction)) {
                    hovered_ = control;
                    break;
                }
            }
        }
        if (!ScreenServices::PointerHoldsItem()) {
            ScreenServices::SetPointerContext(hovered_ ? hovered_->GetContext() : std::string());
        }
    }
    if (hovered_ != previous) {
        if (previous) {
            Control::Base::OnLeave(*previous);
        }
        if (hovered_) {
            Control::Base::OnEnter(*hovered_);
        }
    }
    if (hovered_) {
        Control::Base::OnOver(*hovered_);
    }
}

} // namespace State
