#include "Effects/Effects.h"

#include <array>
#include <functional>

Effects* g_effects = nullptr;

Effects& effects() {
    return *g_effects;
}

Effects::Effects() : oldcinema_("effect/oldcinema.fx"), mask_("effect/mask.fx") {}

namespace {

void ForEachEffect(Effects& set, const std::function<void(Effect::Base&)>& call) {
    const std::array<Effect::Base*, 8> members = {&set.oldcinema_, &set.mask_,  &set.blur_,
                                                  &set.bloom_,     &set.lines_, &set.cubemap_,
                                                  &set.video_,     &set.snow_};
    for (Effect::Base* member : members) {
        call(*member);
    }
}

} // namespace

void Effects::OnLostDevice() {
    ForEachEffect(*this, [](Effect::Base& member) { member.LostDevice(); });
}

void Effects::OnResetDevice() {
    ForEachEffect(*this, [](Effect::Base& member) { member.ResetDevice(); });
}
