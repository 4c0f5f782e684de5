#include "SoundFiles.h"

#include <cmath>
#include <cstdlib>
#include <vorbis/vorbisenc.h>

namespace test {

std::string Le16(std::uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value) {
    return Le16(static_cast<std::uint16_t>(value)) + Le16(static_cast<std::uint16_t>(value >> 16));
}

std::string Ramp(std::size_t count, std::uint8_t first) {
    std::string out(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<char>(first + i);
    }
    return out;
}

std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::uint16_t blockAlign, std::uint16_t tag) {
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) +
           Le16(bits);
}

std::string WaveBytes(const std::string& fmt, const std::string& data, std::uint32_t dataSize,
                      const std::string& after, std::uint32_t riffSize) {
    std::string body = "WAVEfmt " + Le32(static_cast<std::uint32_t>(fmt.size())) + fmt;
    if (fmt.size() % 2 != 0) {
        body += '\0';
    }
    body += after + "data" + Le32(dataSize) + data;
    return "RIFF" + Le32(riffSize != 0 ? riffSize : static_cast<std::uint32_t>(body.size())) + body;
}

namespace {

void Append(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), page.header_len);
    out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

} // namespace

std::string OggBytes(int channels, long rate, long frames, int serial, bool headerPages) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0) {
        std::abort();
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    ogg_packet packets[3];
    vorbis_analysis_headerout(&dsp, &comment, &packets[0], &packets[1], &packets[2]);
    for (ogg_packet& header : packets) {
        ogg_stream_packetin(&stream, &header);
    }
    std::string out;
    ogg_page page;
    while (headerPages && ogg_stream_flush(&stream, &page) != 0) {
        Append(out, page);
    }

    // All samples at once, then the end.
    float** pcm = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            pcm[c][i] = 0.25f * std::sin(static_cast<float>(i) * 0.05f * static_cast<float>(c + 1));
        }
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
    vorbis_analysis_wrote(&dsp, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
            ogg_stream_packetin(&stream, &packet);
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        Append(out, page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace test
