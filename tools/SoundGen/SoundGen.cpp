// kvsound <data folder>: synthesises the demo game's music and sound effects and writes them
// as RIFF WAVE (".wav") or Ogg Vorbis (".ogg") files, by the extension of each path. Each
// sound is made on a thread of its own; every run writes the same samples.

#include "Sounds.h"
#include "VorbisWriter.h"
#include "WaveWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Entry {
    const char* path;
    std::function<Synth::Buffer()> make;
};

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = {
        {"music/theme.ogg", Sounds::Theme}, {"music/house.ogg", Sounds::House},
        {"music/night.ogg", Sounds::Night}, {"music/cellar.wav", Sounds::Cellar},
        {"sfx/sea.ogg", Sounds::Sea},       {"sfx/foghorn.wav", Sounds::Foghorn},
        {"sfx/door.wav", Sounds::Door},     {"sfx/rattle.wav", Sounds::Rattle},
        {"sfx/drawer.wav", Sounds::Drawer}, {"sfx/key.wav", Sounds::Key},
        {"sfx/drop.wav", Sounds::Drop},     {"sfx/page.ogg", Sounds::Page},
        {"sfx/click.wav", Sounds::Click},   {"sfx/candle.ogg", Sounds::Candle},
    };
    return entries;
}

// Makes and writes one sound; the error text, or empty on success.
std::string Write(const fs::path& folder, const Entry& entry) {
    try {
        const Synth::Buffer sound = entry.make();
        const fs::path path = folder / entry.path;
        std::string bytes;
        if (path.extension() == ".ogg") {
            VorbisWriter::Params params;
            params.channels = sound.channels;
            params.rate = sound.rate;
            bytes = VorbisWriter::Encode(params, sound.samples);
        } else {
            bytes = WaveWriter::Encode(sound.channels, sound.rate, sound.samples);
        }
        fs::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), std::streamsize(bytes.size()));
        file.close();
        return file ? std::string() : "cannot write " + path.string();
    } catch (const std::exception& e) {
        return std::string(entry.path) + ": " + e.what();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvsound <data folder>\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::vector<std::future<std::string>> jobs;
    for (const Entry& entry : Entries()) {
        jobs.push_back(std::async(std::launch::async, Write, folder, std::cref(entry)));
    }
    int status = 0;
    for (auto& job : jobs) {
        if (const std::string error = job.get(); !error.empty()) {
            std::fprintf(stderr, "kvsound: %s\n", error.c_str());
            status = 1;
        }
    }
    return status;
}
