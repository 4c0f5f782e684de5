#include "States/Page.h"

#include "Game/Game.h"

namespace State {

void Page::Exit() {
    FireEvent("exit");
    game().inventory_.ExitPage(Name());
}

} // namespace State
