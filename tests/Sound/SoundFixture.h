#pragma once

#include "FileSystem/FileSystemFixture.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Audio/Device.h"
#include "Sound/Base.h"
#include "Sound/SfxStreamed.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test {

// Sounds over a game tree of their own and a device in manual mode installed for the
// sound buffers; the settings exist with the automatic mixer placement.
class SoundFixture {
public:
    SoundFixture();
    ~SoundFixture();

    // Writes a data file.
    void Add(const std::string& name, const std::string& bytes) const;
    const GameTree& Tree() const { return tree_; }
    // Mounts the data folder's archives again, after some were added.
    void Remount() const;
    Audio::Device& Device() { return *device_; }

    // Renders `frames` stereo frames; when the sound's event is set afterwards, resets it and
    // refills the stream. Returns the frames mixed.
    std::vector<std::int16_t> Step(Sound::Base& sound, Audio::Event& event, std::size_t frames);
    // Steps until the sound stops or `limit` frames have been mixed; returns what was mixed.
    std::vector<std::int16_t> Drive(Sound::Base& sound, Audio::Event& event, std::size_t limit,
                                    std::size_t step = 1024);

private:
    ScopedGlobal<Opts::Data> opts_;
    GameTree tree_;
    std::shared_ptr<Audio::Device> device_;
};

// `frames` frames of 16-bit stereo samples that differ from one another and from silence.
std::vector<std::int16_t> Pattern(std::size_t frames);
std::string Bytes(const std::vector<std::int16_t>& samples);
// A 44100 Hz 16-bit stereo WAVE file of the samples.
std::string StereoWave(const std::vector<std::int16_t>& samples);

} // namespace test
