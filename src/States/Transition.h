#pragma once

#include "States/Base.h"

#include <memory>
#include <string>
#include <vector>

namespace State {

// The fade from one state to another, named "t_" + from + "_" + to: it fades the state
// being left out through black or white, shows its flash screens one by one (each faded
// in, held and faded out), starts the target, fades it in and hands over to it with
// Map::SetState. The fade drives the game's Exposure, which the final pass applies to the
// whole frame.
//
// The states it shows are kept by name and looked up in the map's registry when the
// transition starts; it holds them until it stops, so a state replaced by a later
// definition is never reached through a stale pointer. An entry whose state is missing is
// logged at the start and skipped: its phases are timed, nothing is started, stopped or
// ticked.
class Transition : public Base {
public:
    // One state shown by the transition, with its fade-in, fade-out and hold (ms).
    struct Entry {
        float in_ = 250.0f;
        float out_ = 250.0f;
        float delay_ = 250.0f;
        std::string name_;
        std::shared_ptr<Base> state_; // held from Start to Stop
    };

    enum Phase { kFadeIn = 0, kHold = 1, kFadeOut = 2 };

    // Empty; Load fills it (the "transition" element).
    Transition() = default;
    // The default transition of a move from one state to another: 500 ms out, 500 ms in,
    // through black, no flashes, no view for the target.
    Transition(const std::string& from, const std::string& to);

    void Load(const XmlDom::Element& element) override;
    void Start() override;
    void Stop() override;
    void Render() override;
    bool ShowCursor() override { return false; }
    bool ShowInventory() override;
    void CollectResources(std::vector<MapResource>& list, MapPart& part) override;
    std::string GetEffect() override;

    // The state switch asks this before it starts the target of a move out of a
    // transition: true only during the transition's own hand-over to its target.
    bool HandsOverTo(const std::string& name) const { return handingOver_ && name == to_; }
    // The state switch names the state it moves to before it stops the transition, so a
    // transition left early does not stop the state the move goes to.
    void LeaveFor(const std::shared_ptr<Base>& target) { leavingFor_ = target; }

    const std::string& From() const { return from_; }
    const std::string& To() const { return to_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    float Sign() const { return sign_; }
    int CurrentPhase() const { return phase_; }
    std::size_t Index() const { return index_; }

    // The fade factor (21^u - 1) / 20 of a phase of length d at time t into it, with t
    // clamped to [0, d]: 0 in the hold and when d is not positive.
    static float Factor(int phase, float t, float d);

private:
    // Advances the phases up to now; answers false when the transition was stopped (left
    // by a move) on the way.
    bool Step();
    // Starts the state of the entry index_ points at and opens its fade-in; answers false
    // when that start left the transition.
    bool EnterEntry();
    // The state of the entry shown, if any.
    std::shared_ptr<Base> Shown() const;

    float phaseStart_ = 0.0f;
    float phaseEnd_ = 0.0f;
    float sign_ = -1.0f;
    float heading_ = 0.0f;
    float pitch_ = 0.0f;
    std::size_t index_ = 0;
    int phase_ = kFadeIn;
    std::vector<Entry> entries_;
    std::string to_;
    std::string from_;
    std::vector<MapResource> resources_;

    // Between Start and Stop.
    bool running_ = false;
    // Counts starts, so a Render that sees the transition stopped and started again
    // during its own Step does not go on with the old run.
    unsigned runs_ = 0;
    // Set just before the transition's own move to its target.
    bool handingOver_ = false;
    // The hand-over did not make the target current: the transition stays in its hold.
    bool stuck_ = false;
    // The entry whose state the transition started last and has not stopped (entry 0's
    // state is running when the transition starts); -1 for none.
    int started_ = -1;
    std::shared_ptr<Base> leavingFor_;
};

} // namespace State
