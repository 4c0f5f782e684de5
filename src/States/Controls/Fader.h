#pragma once

#include "Include/cg/Point.h"
#include "Include/cg/Rect.h"
#include "States/Controls/Base.h"

#include <string>

namespace State::Control {

// The slider of flat screens: a knob picture that the player drags with the mouse inside a
// travel rectangle, on one axis or on two. Positions are in the cursor's units: x from 0 at
// the left to 1 at the right edge of the 1024x768 frame, y from 0 at the top to 1 at the
// bottom. Scripts read the knob's place as fractions ("posy" across, "pos" down), set it
// ("set_pos") and react to "acquire" (drag begins), "update" (the knob moved) and "release"
// (drag ends). The screen's mouse input starts and ends the drags.
class Fader : public Base {
public:
    void LoadState(xs::IArchive& archive) override { LoadXml(archive); }
    void SaveState(xs::OArchive& archive) override { SaveXml(archive); }
    // The save record: the knob position as the floats "x" then "y". Loading puts the knob
    // exactly where the record says (no clamping, no event); a record lacking either value
    // changes nothing.
    void LoadXml(xs::IArchive& archive);
    void SaveXml(xs::OArchive& archive);
    std::string GetContext() override { return "do"; }
    // One drag step while dragging, then the knob with the device's sprite.
    void Render() override;
    void Click() override {}
    // "x", "top", "bottom", "right" and "tex"; the knob's size from its texture. A knob
    // picture that cannot be had leaves the size at zero and the knob undrawn; the slider
    // still moves for scripts and drags.
    void Load(const XmlDom::Element& element) override;
    // A missing knob picture, named with the slider's state and key.
    void CheckDefinition(const std::string& state, const std::string& key) const override;
    // The left end and the top of the travel, without an event.
    void Reset() override { SetPos(0.0f, 1.0f); }
    void Bind(ScopedBinding& scope) override;

    // Lua "set_pos": fx from the left end, fy from the bottom bound to the top bound, each
    // clamped to [0, 1] (not a number counts as 0). No event.
    void SetPos(float fx, float fy);
    // Lua "posy": the horizontal fraction from the left; 0 on a travel without width.
    float PosX();
    // Lua "pos": the vertical fraction from the top bound (0) to the bottom bound (1); 0 on
    // a travel without height.
    float PosY();
    // Whether the cursor is on the knob, edges included.
    bool HitTest() const;
    // Starts (true) or ends (false) a drag: "acquire" or "release", then one drag step.
    void Capture(bool on);
    // A drag ended without its release (a lost button release): no event, no step.
    void Drop() { dragging_ = false; }
    // One drag step: the knob's centre to the cursor, kept in the travel; "update" when it
    // moved.
    void FireUpdate();
    bool Dragging() const { return dragging_; }

    bool dragging_ = false;
    // Path of the knob texture.
    std::string tex_;
    // The knob's centre.
    cg::point<float, 2> position_;
    // Half the knob's width and height.
    cg::point<float, 2> half_;
    // {left, top, right, bottom}: x runs from left to right, y from bottom (the lower bound)
    // to top (the upper bound).
    cg::rect travel_{};

private:
    // The knob's size from its texture, measured on the 1024x768 frame.
    void MeasureKnob();

    // The knob picture could not be had when the knob was measured: nothing to draw.
    bool knobMissing_ = false;
};

} // namespace State::Control
