#include "Sound/Base.h"

#include "Game/Check.h"
#include "Game/DirectX.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Platform/Audio/Buffer.h"
#include "Platform/Audio/Device.h"
#include "Platform/Audio/WaveFormat.h"
#include "Sound/Output.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\Sfx";

// A lost buffer is tried again every 10 ms for at most a second, then the loss is an error.
constexpr int kRestoreTries = 100;
constexpr auto kRestoreWait = std::chrono::milliseconds(10);

// The placement flags of the settings' mixer placement, as the primary buffer gets them.
std::uint32_t Placement() {
    return PrimaryBufferFlags(opts().soundMixer_) &
           (Audio::Caps::LocHardware | Audio::Caps::LocSoftware);
}

// Why the device refused a buffer.
std::string BufferProblem(Audio::Result result, const Audio::BufferDesc& desc) {
    if (result == Audio::ErrBadFormat) {
        return Audio::WaveFormatProblem(desc.format);
    }
    const std::string bytes = std::to_string(desc.bytes) + " bytes of sound";
    if (result == Audio::ErrOutOfMemory) {
        return "no memory for " + bytes;
    }
    return "no buffer takes " + bytes;
}

} // namespace

Base::Base(const std::string& src, std::uint32_t flags, bool loop, std::uint32_t size)
    : flags_(flags), file_(SoundFile::Create(src)), bufSize_(0), loop_(loop) {
    // The caller chose a known extension; an unknown one has no source to play.
    Require(file_ != nullptr, kWhere, "file_", "the extension is neither wav nor ogg");
    if (size != 0) {
        bufSize_ = size;
        CreateBuffer(flags_, {});
        Fill();
        return;
    }
    // A static sound's buffer is as long as what the source really delivers, whatever its
    // header claims, and takes over the decoded memory.
    std::vector<std::uint8_t> pcm = file_->DecodeAll(Audio::Device::MaxBufferBytes);
    bufSize_ = static_cast<std::uint32_t>(pcm.size());
    CreateBuffer(flags_, std::move(pcm));
}

// The buffer goes first, then the source.
Base::~Base() {
    buf_.reset();
}

void Base::CreateBuffer(std::uint32_t flags, std::vector<std::uint8_t> pcm) {
    Require(file_->Size() != 0, kWhere, "file_->Size()", "the file holds no sound");
    Audio::BufferDesc desc;
    desc.flags = flags | Placement();
    desc.bytes = bufSize_;
    desc.format = file_->Format();
    const Audio::Result created =
        pcm.empty() ? OutputDevice()->CreateSoundBuffer(desc, &buf_)
                    : OutputDevice()->CreateSoundBuffer(desc, std::move(pcm), &buf_);
    if (created != Audio::Ok) {
        Require(false, kWhere,
                "((HRESULT)0x00000000L) == dx().sound()->CreateSoundBuffer( &dsbd, &buf, 0 )",
                BufferProblem(created, desc));
    }
    Require(buf_ != nullptr, kWhere, "buf_ != 0", "the device gave no buffer");
}

std::uint8_t Base::Silence() const {
    return file_->BitsPerSample() == 8 ? 0x80 : 0x00;
}

void Base::Fill() {
    void* data = nullptr;
    std::uint32_t bytes = 0;
    CheckResult(buf_->Lock(0, bufSize_, &data, &bytes, nullptr, nullptr, 0), kWhere,
                "buf_->Lock ( 0, bufSize_, &bufData, &bufSize, 0, 0, 0 )");
    file_->Reset();
    const std::uint32_t got = file_->Read(data, bytes);
    std::memset(static_cast<std::uint8_t*>(data) + got, Silence(), bytes - got);
    CheckResult(buf_->Unlock(data, bytes, nullptr, 0), kWhere,
                "buf_->Unlock ( bufData, bufSize, 0, 0 )");
}

// The buffer's volume, play, stop and position calls below cannot fail on a buffer made
// here (volume control is always asked for, values stay in range, no lock stays open), so
// their results are not tested.
void Base::SetVolume(float volume) {
    if (volume == volume_) {
        return;
    }
    volume_ = volume;
    const float clamped = std::isnan(volume) ? 0.00001f : std::clamp(volume, 0.00001f, 1.0f);
    // Hundredths of a decibel: -10000 at 0.00001, -602 at 0.5, 0 at 1.
    buf_->SetVolume(static_cast<std::int32_t>(2000.0f * std::log10(clamped)));
}

void Base::Play(float volume, bool looping) {
    RestoreIfLost();
    SetVolume(volume);
    buf_->Play(0, 0, looping ? Audio::PlayLooping : 0);
}

void Base::Stop() {
    buf_->Stop();
}

bool Base::IsPlaying() const {
    std::uint32_t status = 0;
    buf_->GetStatus(&status);
    return (status & Audio::Status::Playing) != 0;
}

void Base::SeekStart() {
    Reset();
    buf_->SetCurrentPosition(0);
    RestoreIfLost();
}

bool Base::RestoreIfLost() {
    std::uint32_t status = 0;
    CheckResult(buf_->GetStatus(&status), kWhere, "buf_->GetStatus( &dwStatus )");
    if ((status & Audio::Status::BufferLost) == 0) {
        return false;
    }
    Audio::Result hr = buf_->Restore();
    for (int tries = 1; hr == Audio::ErrBufferLost && tries < kRestoreTries; ++tries) {
        std::this_thread::sleep_for(kRestoreWait);
        hr = buf_->Restore();
    }
    CheckResult(hr, kWhere, "hr");
    Fill();
    return true;
}

void Base::SetPosition(float x, float y, float z) {
    if ((flags_ & Audio::Caps::Ctrl3D) == 0 || !IsPlaying()) {
        LogWrite("Trying to position stopped sound");
        return;
    }
    CheckResult(buf_->SetPosition3D(x, y, z, 0), kWhere,
                "buf3d->SetPosition( x, y, z, DS3D_IMMEDIATE )");
}

} // namespace Sound
