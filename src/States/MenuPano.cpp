#include "States/MenuPano.h"

#include "Game/Game.h"
#include "Game/Opts.h"

namespace State {

void MenuPano::Start() {
    CameraMove::Publish(game().lua_, this);
    opts().swayAllowed_ = false;
    camera_.Restart(View().heading, View().pitch, now_);
    Pano::Start();
}

void MenuPano::Stop() {
    CameraMove::Withdraw(game().lua_);
    opts().swayAllowed_ = true;
    Pano::Stop();
}

void MenuPano::Render() {
    camera_.Apply(*this, now_);
    Pano::Render();
}

void MenuPano::SetPos(float heading, float pitch, int ms) {
    camera_.SetPos(heading, pitch, ms, now_, true);
}

void MenuPano::SetFov(float degrees, int ms) {
    camera_.SetFov(degrees, ms, now_);
}

} // namespace State
