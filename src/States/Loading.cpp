#include "States/Loading.h"

#include "Game/Game.h"

namespace State {

bool Loading::Activate() {
    game().map_.StartPreload();
    return false;
}

} // namespace State
