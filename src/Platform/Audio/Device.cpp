#include "Platform/Audio/Device.h"

#include "Platform/Audio/Mixer.h"
#include "Platform/Audio/SdlOutput.h"
#include "Platform/Audio/Voice.h"
#include "Platform/Audio/WaveFormat.h"

#include <new>

namespace Audio {

Result Device::Create(const Options& options, std::unique_ptr<Device>* out) {
    if (out == nullptr || options.periodFrames < 64 || options.periodFrames > 4096) {
        return ErrInvalidParam;
    }
    std::unique_ptr<Device> device(new Device());
    device->mixer_ = std::make_shared<Mixer>(options.periodFrames);
    if (options.output == Output::Sdl) {
        if (const Result r =
                SdlOutput::Open(device->mixer_.get(), options.periodFrames, &device->output_);
            r != Ok) {
            return r;
        }
        // The device is paused, so no callback reads the period yet.
        std::lock_guard lock(device->mixer_->Mutex());
        device->mixer_->SetPeriodFrames(device->output_->PeriodFrames());
    }
    *out = std::move(device);
    return Ok;
}

Device::~Device() {
    output_.reset();
}

Result Device::SetCooperativeLevel(void* window, std::uint32_t level) {
    if (level < 1 || level > 4) {
        return ErrInvalidParam;
    }
    window_ = window;
    level_ = level;
    return Ok;
}

Result Device::CreatePrimaryBuffer(std::uint32_t flags) {
    if ((flags & Caps::Primary) == 0) {
        return ErrInvalidParam;
    }
    primaryFlags_ = flags;
    primaryCreated_ = true;
    return Ok;
}

Result Device::SetPrimaryFormat(std::span<const std::uint8_t> format) {
    if (!primaryCreated_) {
        return ErrInvalidCall;
    }
    WaveFormat f;
    if (ParseWaveFormat(format, &f) != Ok || !IsOutputFormat(f)) {
        return ErrBadFormat;
    }
    return Ok;
}

Result Device::PlayPrimary(std::uint32_t flags) {
    if (!primaryCreated_) {
        return ErrInvalidCall;
    }
    if ((flags & PlayLooping) == 0) {
        return ErrInvalidParam;
    }
    if (output_ != nullptr) {
        output_->Resume();
    }
    return Ok;
}

Result Device::CreateSoundBuffer(const BufferDesc& desc, std::unique_ptr<Buffer>* out) {
    return MakeBuffer(desc, nullptr, out);
}

Result Device::CreateSoundBuffer(const BufferDesc& desc, std::vector<std::uint8_t> data,
                                 std::unique_ptr<Buffer>* out) {
    if (data.size() != desc.bytes) {
        return ErrInvalidParam;
    }
    return MakeBuffer(desc, &data, out);
}

Result Device::MakeBuffer(const BufferDesc& desc, std::vector<std::uint8_t>* data,
                          std::unique_ptr<Buffer>* out) {
    if (out == nullptr || (desc.flags & Caps::Primary) != 0) {
        return ErrInvalidParam;
    }
    WaveFormat format;
    if (const Result r = ParseWaveFormat(desc.format, &format); r != Ok) {
        return r;
    }
    if (desc.bytes < format.blockAlign || desc.bytes > MaxBufferBytes) {
        return ErrInvalidParam;
    }
    try {
        auto voice = std::make_unique<Voice>();
        voice->format = format;
        voice->flags = desc.flags;
        voice->bytes = desc.bytes;
        voice->frames = desc.bytes / format.blockAlign;
        voice->step = (std::uint64_t(format.rate) << 32) / Rate;
        if (data != nullptr) {
            voice->data = std::move(*data);
        } else {
            voice->data.assign(desc.bytes, voice->SilenceByte());
        }
        *out = std::make_unique<Buffer>(mixer_, std::move(voice));
    } catch (const std::bad_alloc&) {
        return ErrOutOfMemory;
    }
    return Ok;
}

void Device::Render(std::int16_t* out, std::size_t frames) noexcept {
    mixer_->Render(out, frames);
}

void Device::SetFocused(bool focused) noexcept {
    std::lock_guard lock(mixer_->Mutex());
    mixer_->SetFocused(focused);
}

void Device::SimulateLoss(bool keepLost) {
    std::lock_guard lock(mixer_->Mutex());
    mixer_->LoseAll(keepLost);
}

const char* Device::DriverName() const noexcept {
    return output_ != nullptr ? output_->DriverName() : "manual";
}

} // namespace Audio
