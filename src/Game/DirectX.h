#pragma once

#include "Platform/Gfx/Types.h"
#include "Platform/Window/EngineWnd.h"

#include <cstdint>
#include <memory>

namespace Gfx {
class System;
class Device;
class Sprite;
class Font;
} // namespace Gfx
namespace Input {
class DirectInput;
}
namespace Audio {
class Device;
}

// The one object that owns the window and every device of the program: the graphics system
// and device with the sprite and the font used for all 2-D drawing and text, the input
// system, and the sound device with its primary buffer. Created first among the
// process-wide objects and deleted last; reached through dx(). User-interface thread only.
class DirectX {
public:
    // The device behaviour chosen from the capabilities and the settings.
    struct Behaviour {
        std::uint32_t vertexProcessing = Gfx::BehaviourSoftwareVertexProcessing;
        std::uint32_t multithreading = 0;
    };

    // Creates the window and every device (see Init). A failure is logged and thrown as
    // `exception`; what was created so far is released again.
    DirectX();
    // Releases the font, the sprite, the graphics device, the primary buffer, the sound
    // device, the input system and the graphics system in that order, then destroys the
    // window when it still exists.
    ~DirectX();
    DirectX(const DirectX&) = delete;
    DirectX& operator=(const DirectX&) = delete;

    // Each answers a new reference of its own. A null one throws ComError. The device, the
    // sprite and the font are also published through GfxLink, which is how code that draws
    // reaches them.
    std::shared_ptr<Gfx::Device> device() const;
    std::shared_ptr<Gfx::Sprite> sprite() const;
    std::shared_ptr<Gfx::Font> font() const;
    std::shared_ptr<Input::DirectInput> dinput() const;
    // The sound device, for the sound buffers; it holds the primary buffer's settings.
    std::shared_ptr<Audio::Device> sound() const;

    // The present parameters the device was created with, for its resets.
    const Gfx::PresentParams& d3dpp() const { return d3dpp_; }
    const Behaviour& caps() const { return caps_; }
    EngineWnd& wnd() { return wnd_; }

private:
    void Init();

    // Declared so that the reverse order is the destructor's release order: a constructor
    // failing part way releases what it made in that order too.
    EngineWnd wnd_;
    std::unique_ptr<Gfx::System> d3d_;
    std::shared_ptr<Input::DirectInput> dinput_;
    std::shared_ptr<Audio::Device> dsound_;
    // The primary buffer lives inside the sound device in the sound layer; this reference
    // stands for it, so it is released before the device as the buffer would be.
    std::shared_ptr<Audio::Device> buffer_;
    std::shared_ptr<Gfx::Device> device_;
    std::shared_ptr<Gfx::Sprite> sprite_;
    std::shared_ptr<Gfx::Font> font_;
    Gfx::PresentParams d3dpp_;
    Behaviour caps_;
};

// The process-wide object; created and deleted by the start-up routine's holder.
extern DirectX* g_dx;

// The object; only valid between its creation and its deletion.
DirectX& dx();

// The flags of the primary sound buffer: primary with 3-D control (0x11), plus the mixer
// placement: "soft" (1) adds the hardware flag 0x4, "hard" (2) the software flag 0x8.
std::uint32_t PrimaryBufferFlags(std::int32_t mixerPlacement);
