#include "TheoraWriter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ogg/ogg.h>
#include <stdexcept>
#include <theora/theora.h>

namespace TheoraWriter {

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("video encoding failed: ") + what);
    }
}

// One logical stream turned into pages appended to the file.
class Stream {
public:
    explicit Stream(int serial) { Check(ogg_stream_init(&state_, serial) == 0, "ogg_stream_init"); }
    ~Stream() { ogg_stream_clear(&state_); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    void Put(ogg_packet& packet) {
        Check(ogg_stream_packetin(&state_, &packet) == 0, "ogg_stream_packetin");
    }
    // Hands each whole packet the page completes; pages of other streams give none.
    template <typename Take>
    void Packets(ogg_page& page, Take&& take) {
        if (ogg_stream_pagein(&state_, &page) != 0) {
            return;
        }
        ogg_packet packet;
        while (ogg_stream_packetout(&state_, &packet) > 0) {
            take(packet);
        }
    }
    // Appends the full pages, or with `flush` every packet waiting.
    void Pages(std::string& out, bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&state_, &page) : ogg_stream_pageout(&state_, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), page.header_len);
            out.append(reinterpret_cast<const char*>(page.body), page.body_len);
        }
    }

private:
    ogg_stream_state state_;
};

// A page reader, cleared on every way out.
struct Sync {
    ogg_sync_state state;
    Sync() { ogg_sync_init(&state); }
    ~Sync() { ogg_sync_clear(&state); }
    Sync(const Sync&) = delete;
    Sync& operator=(const Sync&) = delete;
};

// The libtheora encoder's records, cleared on every way out.
struct Encoder {
    theora_info info;
    theora_comment comment;
    theora_state state;
    bool ready = false;

    Encoder() {
        theora_info_init(&info);
        theora_comment_init(&comment);
        std::memset(&state, 0, sizeof state);
    }
    ~Encoder() {
        if (ready) {
            theora_clear(&state);
        }
        theora_comment_clear(&comment);
        theora_info_clear(&info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

// A stand-in for a sound track: a packet that opens a stream but is no Theora header.
ogg_packet OtherPacket(std::string& bytes, bool first, ogg_int64_t number) {
    bytes = first ? std::string("\x01other-track") : std::string(200, static_cast<char>(number));
    ogg_packet packet{};
    packet.packet = reinterpret_cast<unsigned char*>(bytes.data());
    packet.bytes = static_cast<long>(bytes.size());
    packet.b_o_s = first ? 1 : 0;
    packet.granulepos = number;
    packet.packetno = number;
    return packet;
}

} // namespace

std::string Encode(const Params& params, const Painter& paint) {
    Encoder encoder;
    theora_info& info = encoder.info;
    info.width = info.frame_width = params.width;
    info.height = info.frame_height = params.height;
    info.fps_numerator = params.fpsNumerator;
    info.fps_denominator = params.fpsDenominator;
    info.aspect_numerator = info.aspect_denominator = 1;
    info.colorspace = OC_CS_UNSPECIFIED;
    info.pixelformat = OC_PF_420;
    info.quality = params.quality;
    info.quick_p = 1;
    info.keyframe_auto_p = 1;
    info.keyframe_frequency = info.keyframe_frequency_force = 64;
    info.keyframe_data_target_bitrate = 0;
    info.keyframe_auto_threshold = 80;
    info.keyframe_mindistance = 8;
    info.noise_sensitivity = 1;
    Check(theora_encode_init(&encoder.state, &info) == 0, "theora_encode_init");
    encoder.ready = true;

    std::string out;
    Stream other(2);
    std::string otherBytes;
    if (params.otherStream) {
        ogg_packet first = OtherPacket(otherBytes, true, 0);
        other.Put(first);
        other.Pages(out, true);
    }

    Stream video(1);
    ogg_packet packet;
    Check(theora_encode_header(&encoder.state, &packet) == 0, "theora_encode_header");
    video.Put(packet);
    video.Pages(out, true); // the opening page holds the first header alone
    Check(theora_encode_comment(&encoder.comment, &packet) == 0, "theora_encode_comment");
    video.Put(packet);
    std::free(packet.packet); // the comment packet is the caller's to free
    Check(theora_encode_tables(&encoder.state, &packet) == 0, "theora_encode_tables");
    video.Put(packet);
    video.Pages(out, true);

    Planes planes;
    planes.width = params.width;
    planes.height = params.height;
    planes.y.assign(std::size_t{params.width} * params.height, 0);
    planes.u.assign(planes.y.size() / 4, 128);
    planes.v.assign(planes.y.size() / 4, 128);
    for (int i = 0; i < params.frames; ++i) {
        paint(i, planes);
        yuv_buffer yuv{};
        yuv.y_width = static_cast<int>(params.width);
        yuv.y_height = static_cast<int>(params.height);
        yuv.y_stride = yuv.y_width;
        yuv.uv_width = yuv.y_width / 2;
        yuv.uv_height = yuv.y_height / 2;
        yuv.uv_stride = yuv.uv_width;
        yuv.y = planes.y.data();
        yuv.u = planes.u.data();
        yuv.v = planes.v.data();
        Check(theora_encode_YUVin(&encoder.state, &yuv) == 0, "theora_encode_YUVin");
        Check(theora_encode_packetout(&encoder.state, i + 1 == params.frames, &packet) == 1,
              "theora_encode_packetout");
        video.Put(packet);
        video.Pages(out, false);
        if (params.otherStream) {
            ogg_packet more = OtherPacket(otherBytes, false, i + 1);
            other.Put(more);
            other.Pages(out, true);
        }
    }
    video.Pages(out, true);
    return out;
}

std::string RewritePackets(const std::string& file, const PacketPatch& patch) {
    Sync sync;
    char* buffer = ogg_sync_buffer(&sync.state, static_cast<long>(file.size()));
    Check(buffer != nullptr, "ogg_sync_buffer");
    std::copy(file.begin(), file.end(), buffer);
    Check(ogg_sync_wrote(&sync.state, static_cast<long>(file.size())) == 0, "ogg_sync_wrote");
    std::string result;
    std::unique_ptr<Stream> in, out;
    ogg_page page;
    while (ogg_sync_pageout(&sync.state, &page) > 0) {
        if (in == nullptr) {
            in = std::make_unique<Stream>(ogg_page_serialno(&page));
            out = std::make_unique<Stream>(ogg_page_serialno(&page));
        }
        in->Packets(page, [&](ogg_packet& packet) {
            std::string bytes(reinterpret_cast<const char*>(packet.packet),
                              static_cast<std::size_t>(packet.bytes));
            patch(packet.packetno, bytes);
            packet.packet = reinterpret_cast<unsigned char*>(bytes.data());
            packet.bytes = static_cast<long>(bytes.size());
            out->Put(packet);
            out->Pages(result, true);
        });
    }
    return result;
}

} // namespace TheoraWriter
