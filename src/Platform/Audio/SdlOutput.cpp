#include "Platform/Audio/SdlOutput.h"

#include "Game/Log.h"
#include "Platform/Audio/Mixer.h"

#include <SDL.h>
#include <string>

namespace Audio {

namespace {

void Callback(void* user, Uint8* stream, int len) {
    static_cast<Mixer*>(user)->Render(reinterpret_cast<std::int16_t*>(stream),
                                      static_cast<std::size_t>(len) / 4);
}

// Starts SDL's audio on the current driver and opens the default device; 0 on failure, with
// the subsystem left as it was.
SDL_AudioDeviceID OpenDevice(Mixer* mixer, int periodFrames, SDL_AudioSpec* have) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return 0;
    }
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(periodFrames);
    want.callback = Callback;
    want.userdata = mixer;
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    return device;
}

} // namespace

Result SdlOutput::Open(Mixer* mixer, int periodFrames, std::unique_ptr<SdlOutput>* out) {
    SDL_AudioSpec have{};
    SDL_AudioDeviceID device = OpenDevice(mixer, periodFrames, &have);
    if (device == 0) {
        LogWrite("No sound device (" + std::string(SDL_GetError()) +
                 "): sound runs silently on the dummy driver");
        if (!SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE)) {
            return ErrNoDriver;
        }
        device = OpenDevice(mixer, periodFrames, &have);
        // Back to the environment's choice for whoever starts SDL audio next; the reset
        // cannot fail for a hint that was just set.
        static_cast<void>(SDL_ResetHint(SDL_HINT_AUDIODRIVER));
        if (device == 0) {
            return ErrNoDriver;
        }
    }
    out->reset(new SdlOutput(device, have.samples));
    return Ok;
}

SdlOutput::~SdlOutput() {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlOutput::Resume() {
    SDL_PauseAudioDevice(device_, 0);
}

const char* SdlOutput::DriverName() const noexcept {
    const char* name = SDL_GetCurrentAudioDriver();
    return name != nullptr ? name : "";
}

} // namespace Audio
