#pragma once

namespace Gfx {
class Device;
}

namespace State {

// The render states under which the scenes draw their controls: no lighting, and alpha
// blending of the source over the target (switched on around each render pass). `where`
// names the caller in the report of a failed call.
void SetBlendStates(Gfx::Device& device, const char* where);

} // namespace State
