// A plain state switch, the pending move and the progress answer, until the switch with its
// transitions joins the map.

#include "Game/Map.h"
#include "States/Base.h"

#include <algorithm>

void Map::SetState(std::string name) {
    const std::shared_ptr<State::Base> target = GetState(name);
    if (!target) {
        return;
    }
    if (const auto old = states_.find(current_); old != states_.end()) {
        old->second->FireDeactivate();
        old->second->FireStop();
    }
    target->FireStart();
    target->FireActivate();
    current_ = name;
}

float Map::GetProgress() {
    const int total = total_.load();
    const int done = std::clamp(done_.load(), 0, std::max(total, 0));
    return total > 0 ? static_cast<float>(done) / static_cast<float>(total) : 1.0f;
}

void Map::Update() {
    if (TakeLoadedFlag()) {
        SetState(next_);
    }
}

bool Map::TakeLoadedFlag() {
    return ready_.exchange(false, std::memory_order_acq_rel);
}
