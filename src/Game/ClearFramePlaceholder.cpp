#include "Game/ClearFramePlaceholder.h"

#include "Game/Check.h"
#include "Game/DirectX.h"
#include "Platform/Gfx/Device.h"

namespace {

constexpr char kWhere[] = ".\\Game\\ClearFramePlaceholder";

} // namespace

ClearFramePlaceholder::ClearFramePlaceholder() : registration_(*this) {}

bool ClearFramePlaceholder::OnIdle() {
    const std::shared_ptr<Gfx::Device> device = dx().device();
    CheckResult(device->Clear(0xFF000000), kWhere, "dx().device()->Clear ( 0xFF000000 )");
    CheckResult(device->Present(), kWhere, "dx().device()->Present ( 0, 0, 0, 0 )");
    return true;
}
