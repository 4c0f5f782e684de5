// Sound sources: the choice by extension, the WAVE reader's format and size rules against
// well-formed and damaged files, and the Ogg Vorbis decoder's format, length and end.

#include "Sound/SoundFile.h"

#include "Game/Exception.h"
#include "Sound/OggFile.h"
#include "Sound/WaveFile.h"
#include "SoundFiles.h"
#include "SoundFixture.h"
#include "support/TestSupport.h"
#include "support/ThrownText.h"

#include <gtest/gtest.h>
#include <wx/mstream.h>

namespace {

using namespace test;

// A stream over the bytes, which must outlive it.
std::unique_ptr<wxInputStream> Stream(const std::string& bytes) {
    return std::make_unique<wxMemoryInputStream>(bytes.data(), bytes.size());
}

std::string ReadAll(Sound::SoundFile& file, std::uint32_t piece) {
    std::string out;
    std::string buffer(piece, '\0');
    while (const std::uint32_t got = file.Read(buffer.data(), piece)) {
        out.append(buffer, 0, got);
    }
    return out;
}

std::string FormatOf(const Sound::SoundFile& file) {
    return {file.Format().begin(), file.Format().end()};
}

TEST(SoundFileTest, ExtensionChoosesTheSource) {
    SoundFixture fixture;
    fixture.Add("Tone.Ogg", OggBytes(1, 22050, 3000));
    // Entries of a ZIP archive cannot seek: the sources read them whole first.
    fixture.Tree().AddZip("music.kpz",
                          {{"zip/tone.ogg", OggBytes(2, 44100, 4000)},
                           {"zip/ramp.wav", WaveBytes(PcmFormat(1, 8000, 8, 1), Ramp(300), 300)}});
    fixture.Remount();
    const struct {
        const char* name;
        std::uint32_t size;
    } found[] = {{"Tone.Ogg", 6000}, {"zip\\tone.ogg", 16000}, {"zip\\ramp.wav", 300}};
    for (const auto& f : found) {
        SCOPED_TRACE(f.name);
        const auto file = Sound::SoundFile::Create(f.name);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Size(), f.size);
        EXPECT_EQ(ReadAll(*file, 999).size(), f.size);
        file->Reset();
        EXPECT_EQ(ReadAll(*file, 999).size(), f.size);
    }
    const struct {
        std::string name;
        std::string error; // empty: no source
    } cases[] = {
        {"missing.OGG", "Specified file 'missing.OGG' is not in OGG format"},
        {"missing.wav", "Cannot open WAV file: 'missing.wav"},
        {"missing.mp3", ""},
        {"missing", ""},
        {"missing.wav.bak", ""},
        {"dir.ogg\\missing", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.error.empty()) {
            EXPECT_EQ(Sound::SoundFile::Create(c.name), nullptr);
            continue;
        }
        EXPECT_EQ(ThrownText([&] { Sound::SoundFile::Create(c.name); }), c.error);
    }
}

TEST(SoundFileTest, WaveFormatAndSizeAreBoundedByTheFile) {
    const std::string mono16 = PcmFormat(1, 22050, 16, 2);
    const std::string ramp = Ramp(100);
    const struct {
        const char* what;
        std::string file;
        std::string format; // the format record expected
        std::uint32_t size;
    } cases[] = {
        {"PCM", WaveBytes(mono16, ramp, 100), mono16 + Le16(0), 100},
        {"PCM with a longer fmt chunk", WaveBytes(mono16 + Le16(0) + Le16(7), ramp, 100),
         mono16 + Le16(0), 100},
        {"non-PCM with 2 extra bytes",
         WaveBytes(PcmFormat(1, 22050, 4, 2, 2) + Le16(2) + "xy", ramp, 100),
         PcmFormat(1, 22050, 4, 2, 2) + Le16(2) + "xy", 100},
        {"odd chunk before the data is padded",
         WaveBytes(mono16, ramp, 100, "LIST" + Le32(3) + "abc" + '\0'), mono16 + Le16(0), 100},
        {"data size beyond the file", WaveBytes(mono16, ramp, 0x7FFFFFF0), mono16 + Le16(0), 100},
        {"RIFF size beyond the file", WaveBytes(mono16, ramp, 100, "", 0xFFFFFFF0),
         mono16 + Le16(0), 100},
        {"partial frame dropped", WaveBytes(mono16, Ramp(101), 101), mono16 + Le16(0), 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Sound::WaveFile file("x.wav", Stream(c.file));
        EXPECT_EQ(FormatOf(file), c.format);
        EXPECT_EQ(file.Size(), c.size);
        // A request beyond the data gets what remains, never padded; a rewind gives it all.
        std::string buffer(150, '\x55');
        EXPECT_EQ(file.Read(buffer.data(), 10), 10u);
        EXPECT_EQ(file.Read(buffer.data(), 150), c.size - 10);
        EXPECT_EQ(buffer, Ramp(c.size - 10, 10) + std::string(160 - c.size, '\x55'));
        file.Reset();
        EXPECT_EQ(ReadAll(file, 64), Ramp(c.size));
    }
}

// The formats common tools write: 8 to 32 bits, the extensible form, chunks before the data,
// odd chunk sizes and a RIFF size left at 0. Wider samples arrive as their upper 16 bits,
// also when a read splits a sample.
TEST(SoundFileTest, WaveFormatsDecodeToTheExpectedSamples) {
    const std::string pcmGuid("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                              16);
    const auto extensible = [](std::uint16_t channels, std::uint16_t bits,
                               const std::string& guid) {
        const auto align = static_cast<std::uint16_t>(channels * bits / 8);
        return PcmFormat(channels, 48000, bits, align, 0xFFFE) + Le16(22) + Le16(bits) + Le32(3) +
               guid;
    };
    const std::string floatGuid = "\x03" + pcmGuid.substr(1);
    // Samples 0x7F1234, -2 (0xFFFFFE), 0x00ABCD as 24 and as 32 bits, and their 16-bit values.
    const std::string wide24("\x34\x12\x7F\xFE\xFF\xFF\xCD\xAB\x00", 9);
    const std::string wide32("\x00\x34\x12\x7F\x00\xFE\xFF\xFF\x00\xCD\xAB\x00", 12);
    const std::string narrow("\x12\x7F\xFF\xFF\xAB\x00", 6);
    const std::string wide24x2 = wide24 + wide24.substr(0, 3); // four samples: two frames
    const std::string narrowx2 = narrow + narrow.substr(0, 2);
    const std::string mono16 = PcmFormat(1, 22050, 16, 2);
    std::string riffZero = WaveBytes(mono16, Ramp(40), 40, "LIST" + Le32(4) + "INFO");
    riffZero.replace(4, 4, Le32(0));
    const struct {
        const char* what;
        std::string file;
        std::string format;
        std::string samples;
    } cases[] = {
        {"8-bit", WaveBytes(PcmFormat(1, 8000, 8, 1), Ramp(9), 9),
         PcmFormat(1, 8000, 8, 1) + Le16(0), Ramp(9)},
        {"16-bit stereo", WaveBytes(PcmFormat(2, 44100, 16, 4), Ramp(16), 16),
         PcmFormat(2, 44100, 16, 4) + Le16(0), Ramp(16)},
        {"24-bit", WaveBytes(PcmFormat(1, 48000, 24, 3), wide24, 9),
         PcmFormat(1, 48000, 16, 2) + Le16(0), narrow},
        {"32-bit", WaveBytes(PcmFormat(1, 48000, 32, 4), wide32, 12),
         PcmFormat(1, 48000, 16, 2) + Le16(0), narrow},
        {"24-bit stereo, partial frame dropped",
         WaveBytes(PcmFormat(2, 48000, 24, 6), wide24x2 + "\x01\x02", 14),
         PcmFormat(2, 48000, 16, 4) + Le16(0), narrowx2},
        {"extensible 16-bit", WaveBytes(extensible(2, 16, pcmGuid), Ramp(16), 16),
         PcmFormat(2, 48000, 16, 4) + Le16(0), Ramp(16)},
        {"extensible 24-bit", WaveBytes(extensible(1, 24, pcmGuid), wide24, 9),
         PcmFormat(1, 48000, 16, 2) + Le16(0), narrow},
        {"extensible floats stay as they are", WaveBytes(extensible(1, 32, floatGuid), wide32, 12),
         extensible(1, 32, floatGuid), wide32},
        {"LIST and odd-sized chunks before the data",
         WaveBytes(mono16, Ramp(40), 40,
                   "LIST" + Le32(4) + "INFO" + "junk" + Le32(3) + "abc" + '\0'),
         mono16 + Le16(0), Ramp(40)},
        {"RIFF size 0", riffZero, mono16 + Le16(0), Ramp(40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Sound::WaveFile file("x.wav", Stream(c.file));
        EXPECT_EQ(FormatOf(file), c.format);
        EXPECT_EQ(file.Size(), c.samples.size());
        EXPECT_EQ(ReadAll(file, 3), c.samples);
        file.Reset();
        EXPECT_EQ(ReadAll(file, 4096), c.samples);
    }
}

// A data chunk longer than the file plays what is there and says so once.
TEST(SoundFileTest, DataCutByTheFileIsLogged) {
    const std::string file = WaveBytes(PcmFormat(1, 22050, 16, 2), Ramp(100), 5000);
    LogSince log;
    Sound::WaveFile wave("cut.wav", Stream(file));
    EXPECT_EQ(wave.Size(), 100u);
    EXPECT_EQ(log.Lines(),
              std::vector<std::string>{
                  "WAV file 'cut.wav' ends inside its data: 100 of 5000 bytes are there"});
}

TEST(SoundFileTest, DamagedWaveFilesFailWithTheirCondition) {
    const std::string mono16 = PcmFormat(1, 22050, 16, 2);
    const std::string good = WaveBytes(mono16, Ramp(10), 10);
    const struct {
        const char* what;
        std::string file;
        std::string condition; // the start of the logged condition
        std::string reason;    // the exception's text
    } cases[] = {
        {"empty", "", "0 == mmioDescend( hmmio_, &ckRiff_", "shorter than a RIFF header"},
        {"not RIFF", "RIFX" + good.substr(4), "(ckRiff_.ckid ==", "not a RIFF WAVE file"},
        {"no fmt chunk", "RIFF" + Le32(4) + "WAVE", "0 == mmioDescend( hmmio_, &ckIn",
         "no format chunk"},
        {"fmt chunk cut by the file", good.substr(0, 30),
         "ckIn.cksize >=", "a format chunk of 10 bytes"},
        {"non-PCM without its count", WaveBytes(PcmFormat(1, 22050, 4, 2, 2), Ramp(10), 10),
         "mmioRead( hmmio_, (CHAR*)&cbExtraBytes", "format 2 without the size of its extra bytes"},
        {"extra bytes beyond the chunk",
         WaveBytes(PcmFormat(1, 22050, 4, 2, 2) + Le16(900) + "xy", Ramp(10), 10),
         "mmioRead( hmmio_, (CHAR *)( &wfx_", "the format's 900 extra bytes run past its chunk"},
        {"no data chunk", good.substr(0, 36), "0 == mmioDescend( hmmio_, &ck_", "no data chunk"},
        {"huge chunk hides the data", WaveBytes(mono16, Ramp(10), 10, "junk" + Le32(0xFFFFFFF0)),
         "0 == mmioDescend( hmmio_, &ck_", "no data chunk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LogSince log;
        EXPECT_EQ(ThrownText([&] { Sound::WaveFile("x.wav", Stream(c.file)); }), c.reason);
        const auto lines = log.Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], "\tAt .\\Sound\\WaveFile");
        EXPECT_EQ(lines[1].rfind("\tOn " + c.condition, 0), 0u) << lines[1];
    }
}

TEST(SoundFileTest, OggGivesTheFirstBitstreamsFormatAndLength) {
    const struct {
        std::string bytes;
        std::string format;
        std::uint32_t size;
    } cases[] = {
        {OggBytes(2, 44100, 20000), PcmFormat(2, 44100, 16, 4) + Le16(0), 80000},
        {OggBytes(1, 22050, 3000, 1) + OggBytes(2, 44100, 9000, 2), // chained
         PcmFormat(1, 22050, 16, 2) + Le16(0), 6000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        Sound::OggFile file("x.ogg", Stream(c.bytes));
        EXPECT_EQ(FormatOf(file), c.format);
        ASSERT_EQ(file.Size(), c.size);
        const std::string all = ReadAll(file, 4096);
        EXPECT_EQ(all.size(), c.size);
        EXPECT_NE(all, std::string(c.size, '\0'));

        // At the end: nothing, zero-filled; across the end: the rest, then zeros.
        std::string buffer(100, '\x55');
        EXPECT_EQ(file.Read(buffer.data(), 100), 0u);
        EXPECT_EQ(buffer, std::string(100, '\0'));
        file.Reset();
        std::string head(c.size - 8, '\0');
        EXPECT_EQ(file.Read(head.data(), c.size - 8), c.size - 8);
        buffer.assign(100, '\x55');
        EXPECT_EQ(file.Read(buffer.data(), 100), 8u);
        EXPECT_EQ(buffer, all.substr(c.size - 8) + std::string(92, '\0'));
        EXPECT_EQ(head, all.substr(0, c.size - 8)); // the rewind decodes the same samples
    }
    for (const std::string& bytes : {std::string(), std::string("OggS not really")}) {
        EXPECT_THROW(Sound::OggFile("bad.ogg", Stream(bytes)), exception);
    }
}

} // namespace
