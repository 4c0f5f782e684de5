// The state machine of the map: the switch between states, the routing through
// transitions, the menu, return and end moves, and the pending move after a preload.

#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Map.h"
#include "States/Screen.h"
#include "States/Transition.h"

#include <sstream>
#include <utility>

namespace {

bool IsTransitionName(const std::string& name) {
    return name.compare(0, 2, "t_") == 0;
}

// Clears the switching flag and the queue when a switch ends, also by an exception: a
// failed switch drops the moves its scripts asked for.
class SwitchScope {
public:
    SwitchScope(bool& flag, std::deque<std::string>& queue) : flag_(flag), queue_(queue) {
        flag_ = true;
    }
    ~SwitchScope() {
        flag_ = false;
        queue_.clear();
    }
    SwitchScope(const SwitchScope&) = delete;
    SwitchScope& operator=(const SwitchScope&) = delete;

private:
    bool& flag_;
    std::deque<std::string>& queue_;
};

} // namespace

void Map::SetState(std::string name) {
    if (switching_) {
        // A script of the running switch moves: the move waits until the switch is done,
        // so it starts from the state the switch leaves current.
        if (queuedMoves_ >= kMaxQueuedMoves) {
            LogFormat("Too many moves inside one switch, move to '%1%' dropped", LogValue(name));
            return;
        }
        ++queuedMoves_;
        queued_.push_back(std::move(name));
        return;
    }
    SwitchScope scope(switching_, queued_);
    queuedMoves_ = 0;
    Switch(std::move(name));
    while (!queued_.empty()) {
        std::string next = std::move(queued_.front());
        queued_.pop_front();
        Switch(std::move(next));
    }
}

void Map::Switch(std::string name) {
    std::shared_ptr<State::Base> target = GetState(name);
    if (!target) {
        return;
    }
    const std::shared_ptr<State::Base> old = CurrentState();
    if (!old) {
        // The first move of the run.
        switchTarget_ = name;
        target->FireStart();
        target->FireActivate();
        current_ = name;
        return;
    }
    game().SetHdrLevel(0.0f);

    const bool fromT = IsTransitionName(current_);
    bool toT = IsTransitionName(name);
    if (!fromT && !toT) {
        const std::string requested = std::move(name);
        name = "t_" + current_ + "_" + requested;
        const auto found = states_.find(name);
        target = found != states_.end() ? found->second : CreateTransition(current_, requested);
        previous_ = current_;
        toT = true;
    }

    switchTarget_ = name;

    // A transition handing over has started its target already; any other move out of a
    // transition starts the target, and tells the transition where the move goes so it
    // does not stop that state.
    bool startTarget = !fromT || toT;
    if (const auto transition = std::dynamic_pointer_cast<State::Transition>(old)) {
        startTarget = !transition->HandsOverTo(name);
        transition->LeaveFor(target);
    }

    old->FireDeactivate();
    if (fromT || !toT) {
        old->FireStop();
    }
    if (startTarget) {
        target->FireStart();
    }
    target->FireActivate();
    current_ = name;
}

std::shared_ptr<State::Transition> Map::CreateTransition(const std::string& from,
                                                         const std::string& to) {
    auto transition = std::make_shared<State::Transition>(from, to);
    StoreState(transition->Name(), transition);
    return transition;
}

std::shared_ptr<State::Screen> Map::CreateScreen(const std::string& name,
                                                 const std::string& picture) {
    auto screen = std::make_shared<State::Screen>(name, picture);
    StoreState(name, screen);
    return screen;
}

void Map::End(std::string name) {
    last_.clear();
    game().SetClockRunning(false);
    SetState(std::move(name));
}

void Map::Menu() {
    // Called by a script of a running switch, the state the switch goes to is the one the
    // player is in.
    last_ = switching_ ? switchTarget_ : current_;
    if (IsTransitionName(last_)) {
        // A transition is made on the spot and may not exist in a later run: the game
        // comes back to where the transition goes.
        const auto found = states_.find(last_);
        const auto transition = found != states_.end()
                                    ? std::dynamic_pointer_cast<State::Transition>(found->second)
                                    : nullptr;
        if (transition) {
            last_ = transition->To();
        }
    }
    game().SetClockRunning(false);
    SetState(menu_);
}

void Map::Return() {
    if (loaded_ != PartName()) {
        // A saved game's part that is not loaded yet is loaded first; the move after its
        // preload goes to the saved state, and the preload starts the clock.
        LoadPart(PartName(), false);
        next_ = last_;
        return;
    }
    SetState(last_);
    game().SetClockRunning(true);
}

void Map::Reset() {
    for (const auto& [name, state] : states_) {
        state->Restart();
    }
}

bool Map::IsStarted() {
    return !last_.empty();
}

float Map::GetProgress() {
    return progress_.Fraction();
}

void Map::DumpTransition(cg::cp<float> view) {
    std::ostringstream line;
    line << "<transition name=\"t_" << previous_ << "_" << current_ << "\" "
         << "from=\"" << previous_ << "\" "
         << "to=\"" << current_ << "\" pos=\"" << view.heading << "," << view.pitch << "\" />";
    LogWrite(line.str());
}

void Map::Update() {
    if (TakeLoadedFlag()) {
        SetState(next_);
    }
}

bool Map::TakeLoadedFlag() {
    return ready_.exchange(false);
}

void Map::SetMovePending(const std::string& next) {
    next_ = next;
    ready_ = true;
}
