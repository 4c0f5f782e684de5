#include "Effects/Base.h"

#include "FileSystem/Locator.h"
#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/GfxLink.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Effect.h"

#include <cstdint>
#include <vector>

namespace Effect {

namespace {
constexpr const char* kWhere = ".\\Effects\\base";
}

Base::Base(const std::string& path) {
    const std::string error = "Cannot open effect file '" + path + "'";
    std::vector<std::uint8_t> data;
    if (!Locator::Instance().ReadAll(path, data)) {
        throw exception(error);
    }
    // An empty file has no technique to run: it fails like any other text that does not
    // compile, without handing the device a pointer into an empty buffer.
    std::string errors = "Empty effect file\n";
    const int result =
        data.empty() ? Gfx::kErrInvalidData
                     : GfxLink::Device().CreateEffect(data.data(), data.size(), effect_, &errors);
    if (result != Gfx::kOk && !errors.empty() && errors.back() != '\n') {
        errors += '\n';
    }
    CheckResult(result, kWhere,
                "::D3DXCreateEffect ( device , & data[0], data.size() , 0, 0, 0, 0, &effect_, 0 )",
                result != Gfx::kOk ? (error + "\n" + errors).c_str() : nullptr);
}

void Base::RunPasses() {
    SetParams();
    unsigned passes = 0;
    CheckResult(effect_->Begin(passes, 0), kWhere, "effect_->Begin( &uiPasses, 0 )");
    for (unsigned pass = 0; pass < passes; ++pass) {
        PrePass(pass);
        // A pass's program is compiled when it first begins: the compiler's log goes with the
        // failure.
        const int begun = effect_->BeginPass(pass);
        std::string errors = begun != Gfx::kOk ? effect_->Errors() : std::string();
        if (!errors.empty() && errors.back() != '\n') {
            errors += '\n';
        }
        CheckResult(begun, kWhere, "effect_->BeginPass( uiPass )",
                    errors.empty() ? nullptr : errors.c_str());
        Draw(pass);
        CheckResult(effect_->EndPass(), kWhere, "effect_->EndPass()");
        PostPass(pass);
    }
    CheckResult(effect_->End(), kWhere, "effect_->End()");
    Finish();
}

void Base::LostDevice() {
    CheckResult(effect_->OnLostDevice(), kWhere, "effect_->OnLostDevice()");
    OnLostDevice();
}

void Base::ResetDevice() {
    CheckResult(effect_->OnResetDevice(), kWhere, "effect_->OnResetDevice()");
    OnResetDevice();
}

} // namespace Effect
