#include "Platform/Gfx/Effect.h"

namespace Gfx {
namespace Internal {
struct EffectProgram {};
} // namespace Internal
int Effect::Create(const std::shared_ptr<Internal::Renderer>&, const void*, size_t,
                   std::shared_ptr<Effect>&, std::string*) {
    return kErrNotAvailable;
}
Effect::Effect(std::unique_ptr<Internal::EffectProgram> program) : program_(std::move(program)) {}
Effect::~Effect() = default;
} // namespace Gfx
