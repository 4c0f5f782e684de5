#include "VorbisWriter.h"

#include <algorithm>
#include <stdexcept>
#include <vorbis/vorbisenc.h>

namespace VorbisWriter {

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("sound encoding failed: ") + what);
    }
}

// The encoder's state, cleared on every way out.
struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool analysing = false, streaming = false;

    Encoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder() {
        if (streaming) {
            ogg_stream_clear(&stream);
        }
        if (analysing) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    void Pages(std::string& out, bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), std::size_t(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), std::size_t(page.body_len));
        }
    }
    // Every block the analysis has ready, as packets on the stream.
    void Drain() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            Check(vorbis_analysis(&block, nullptr) == 0, "vorbis_analysis");
            Check(vorbis_bitrate_addblock(&block) == 0, "vorbis_bitrate_addblock");
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                Check(ogg_stream_packetin(&stream, &packet) == 0, "ogg_stream_packetin");
            }
        }
    }
};

} // namespace

std::string Encode(const Params& params, const std::vector<float>& interleaved) {
    Check(params.channels > 0, "no channels");
    Encoder e;
    Check(vorbis_encode_init_vbr(&e.info, params.channels, params.rate, params.quality) == 0,
          "vorbis_encode_init_vbr");
    Check(vorbis_analysis_init(&e.dsp, &e.info) == 0, "vorbis_analysis_init");
    Check(vorbis_block_init(&e.dsp, &e.block) == 0, "vorbis_block_init");
    e.analysing = true;
    Check(ogg_stream_init(&e.stream, params.serial) == 0, "ogg_stream_init");
    e.streaming = true;

    ogg_packet headers[3];
    Check(vorbis_analysis_headerout(&e.dsp, &e.comment, &headers[0], &headers[1], &headers[2]) == 0,
          "vorbis_analysis_headerout");
    for (ogg_packet& header : headers) {
        Check(ogg_stream_packetin(&e.stream, &header) == 0, "ogg_stream_packetin");
    }
    std::string out;
    if (params.headerPages) {
        e.Pages(out, true);
    }

    const std::size_t channels = std::size_t(params.channels);
    const std::size_t frames = interleaved.size() / channels;
    constexpr std::size_t kChunk = 4096;
    for (std::size_t done = 0; done < frames; done += kChunk) {
        const std::size_t n = std::min(kChunk, frames - done);
        float** pcm = vorbis_analysis_buffer(&e.dsp, int(n));
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t c = 0; c < channels; ++c) {
                pcm[c][i] = interleaved[(done + i) * channels + c];
            }
        }
        Check(vorbis_analysis_wrote(&e.dsp, int(n)) == 0, "vorbis_analysis_wrote");
        e.Drain();
        e.Pages(out, false);
    }
    Check(vorbis_analysis_wrote(&e.dsp, 0) == 0, "vorbis_analysis_wrote");
    e.Drain();
    e.Pages(out, true);
    return out;
}

} // namespace VorbisWriter
