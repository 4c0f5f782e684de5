// Sound files whose headers claim more (or less) than they hold, made into static sounds:
// each buffer is as long as what really decodes, made with at most a little more memory than
// that, and a claim that differs is logged once.

#include "../FileSystem/AllocationWatch.h"
#include "Platform/Audio/Buffer.h"
#include "Sound/Sfx.h"
#include "SoundFiles.h"
#include "SoundFixture.h"
#include "support/ThrownText.h"

#include <gtest/gtest.h>

namespace {

using namespace test;

TEST(LyingSound, StaticBuffersHoldWhatDecodesNotWhatTheHeaderClaims) {
    SoundFixture fixture;
    const std::string ogg = OggBytes(2, 44100, 100000); // 400000 bytes of sound, 11 KB
    const struct {
        const char* name;
        std::string file;
        std::uint64_t claims; // bytes of sound the header claims
        std::size_t most;     // the largest allocation the load may make
        std::uint32_t buffer; // the buffer's bytes; 0: refused
        std::string said;     // the log line or, for a refusal, the error
    } rows[] = {
        {"a.ogg", ClaimSamples(ogg, 60000000), 240000000, 1 << 20, 403712,
         "Ogg file 'a.ogg' decodes to 403712 bytes of sound, its last page claims 240000000"},
        {"b.ogg", ClaimSamples(ogg, 0xFFFFFFFFFFull), 0xFFFFFFFFFFull * 4, 1 << 20, 403712,
         "Ogg file 'b.ogg' decodes to 403712 bytes of sound, its last page claims 4398046511100"},
        {"c.ogg", ClaimSamples(ogg, 60000), 240000, 1 << 20, 399616,
         "Ogg file 'c.ogg' decodes to 399616 bytes of sound, its last page claims 240000"},
        {"d.ogg", ogg, 400000, 400000, 400000, ""},
        {"a.wav", WaveBytes(PcmFormat(2, 44100, 16, 4), Ramp(4000), 0xFFFFFFF0), 0xFFFFFFF0, 4000,
         4000, "WAV file 'a.wav' ends inside its data: 4000 of 4294967280 bytes are there"},
        {"b.wav", WaveBytes(PcmFormat(2, 44100, 16, 4), Ramp(4000), 4000, "", 0xFFFFFFF0),
         0xFFFFFFF0, 4000, 4000, ""},
        {"z.ogg", ogg, 0x80000000u, 64 * 1024, 0,
         "Cannot read file 'z.ogg': it declares 2147483648 bytes, more than the 268435456 a "
         "file may hold"},
    };
    fixture.Tree().AddZip("z.kpz", {{"z.ogg", ogg}});
    fixture.Tree().DeclareZipSize("z.kpz", 0x80000000u);
    fixture.Remount();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", " + std::to_string(row.file.size()) + " bytes");
        if (row.name[0] != 'z') {
            fixture.Add(row.name, row.file);
        }
        const LogSince log;
        std::unique_ptr<Sound::Sfx> sound;
        std::string error;
        EXPECT_LE(LargestAllocation([&] {
                      error = ThrownText([&] {
                          sound = std::make_unique<Sound::Sfx>(row.name, Audio::Caps::CtrlVolume,
                                                               false);
                      });
                  }),
                  row.most);
        if (row.buffer == 0) {
            EXPECT_EQ(error, row.said);
            continue;
        }
        ASSERT_NE(sound, nullptr) << error;
        EXPECT_EQ(sound->Buffer().Bytes(), row.buffer);
        EXPECT_EQ(sound->File()->Size(), row.buffer);
        EXPECT_EQ(log.Lines(), row.said.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{row.said});
    }
}

} // namespace
