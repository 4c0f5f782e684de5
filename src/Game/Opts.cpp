#include "Game/Opts.h"

#include <cassert>

Opts::Data* g_opts = nullptr;

Opts::Data& opts() {
    assert(g_opts != nullptr);
    return *g_opts;
}

namespace Opts {

Data::Data()
    : debug_(false), noidle_(false), nomove_(false), swayAllowed_(true), info_(false), area_(false),
      noload_(false), nomultithread_(false), intro_(1), hintDelay_(1000.0f), logPath_(),
      console_(false), verbose_(false), windowed_(false), light_(false), vsync_(true),
      brightness_(0.5f), soundVolume_(1.0f), musicVolume_(0.57f), soundBuffer_(kPlacementAuto),
      soundMixer_(kPlacementAuto), mouseInvert_(false), mouseLeftHanded_(false),
      mouseSensitivity_(0.5f) {}

} // namespace Opts
