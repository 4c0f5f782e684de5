// The decoder's ties to the engine: films by name through the data locator, and frames into
// the video surface on the game's time.

#include "FileSystem/Locator.h"
#include "Game/Check.h"
#include "Game/Game.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Types.h"
#include "Video/TheoraFile.h"

namespace {

constexpr const char* kWhere = ".\\Video\\OggTheora";

} // namespace

TheoraFile::TheoraFile(const std::string& name)
    : TheoraFile(name, Locator::Instance().Open(name)) {}

void TheoraFile::UpdateSurface(Gfx::Surface& surface) {
    Advance(game().Time());
    Gfx::LockedRect rect;
    CheckResult(surface.LockRect(rect, nullptr, Gfx::LockDiscard), kWhere,
                "surf->LockRect ( &rc, 0, 0x00002000L )");
    CopyYUV(rect);
    CheckResult(surface.UnlockRect(), kWhere, "surf->UnlockRect ()");
}
