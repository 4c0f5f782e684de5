// The decoding itself: headers, packets, frames and their copy into locked texels. It uses
// only libogg, libtheora and the stream it is given.

#include "Video/TheoraFile.h"

#include "Platform/Gfx/Types.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr long kReadSize = 8192;
// Video black in the texels' layout (V, U, Y): Y 16, U and V 128.
constexpr std::uint32_t kVideoBlack = 0xFF000000u | 128u << 16 | 128u << 8 | 16u;

[[noreturn]] void Fail(const char* text) {
    throw std::runtime_error(text);
}

// 1 when the chroma plane has half the samples of the luma plane along a side, else 0.
int ChromaShift(int luma, int chroma) {
    return chroma * 2 <= luma ? 1 : 0;
}

std::uint32_t Texel(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    return 0xFF000000u | std::uint32_t{v} << 16 | std::uint32_t{u} << 8 | y;
}

// One row of `width` texels from a luma row and its chroma rows, `uvWidth` samples each,
// halved along the row when `xShift` is 1. Whole chroma samples go in one straight loop; the
// texels beyond them (an odd width) take the last chroma sample, never one past the plane.
void ConvertRow(std::uint32_t* out, const unsigned char* y, const unsigned char* u,
                const unsigned char* v, int width, int uvWidth, int xShift) {
    int col = 0;
    if (xShift == 1) {
        const int pairs = std::min(width / 2, uvWidth);
        for (int c = 0; c < pairs; ++c) {
            const std::uint32_t uv = Texel(0, u[c], v[c]);
            out[2 * c] = uv | y[2 * c];
            out[2 * c + 1] = uv | y[2 * c + 1];
        }
        col = 2 * pairs;
    } else {
        const int whole = std::min(width, uvWidth);
        for (int c = 0; c < whole; ++c) {
            out[c] = Texel(y[c], u[c], v[c]);
        }
        col = whole;
    }
    for (; col < width; ++col) {
        const int c = std::min(col >> xShift, uvWidth - 1);
        out[col] = Texel(y[col], u[c], v[c]);
    }
}

} // namespace

TheoraFile::TheoraFile(const std::string& name, std::unique_ptr<wxInputStream> stream)
    : name_(name), stream_(std::move(stream)) {
    ClearState();
    try {
        Open();
    } catch (const std::exception&) {
        // The records made so far go before the failure passes on.
        ReleaseState();
        throw;
    }
}

TheoraFile::~TheoraFile() {
    ReleaseStream();
    ReleaseState();
}

void TheoraFile::Open() {
    ResetStreams();
    int headers = 0;
    ReadFirstPages(headers);
    ReadHeaders(headers);
    CheckHeaders();
    InitDecoder();
    // Whole frames per second, as the rate's two numbers divide; a rate below one frame per
    // second keeps its fraction instead of becoming zero (which would stop the video).
    const std::uint32_t whole = info_.fps_numerator / info_.fps_denominator;
    fps_ = whole > 0 ? static_cast<float>(whole)
                     : static_cast<float>(info_.fps_numerator) /
                           static_cast<float>(info_.fps_denominator);
}

void TheoraFile::ClearState() {
    std::memset(&video_, 0, sizeof video_);
    std::memset(&sync_, 0, sizeof sync_);
    std::memset(&page_, 0, sizeof page_);
    std::memset(&packet_, 0, sizeof packet_);
    std::memset(&comment_, 0, sizeof comment_);
    std::memset(&info_, 0, sizeof info_);
    std::memset(&decoder_, 0, sizeof decoder_);
    std::memset(&frame_, 0, sizeof frame_);
}

void TheoraFile::ResetStreams() {
    ogg_stream_clear(&video_);
    videoStream_ = false;
    ogg_sync_init(&sync_);
    theora_comment_init(&comment_);
    theora_info_init(&info_);
}

void TheoraFile::ReleaseState() {
    if (videoStream_) {
        ogg_stream_clear(&video_);
        videoStream_ = false;
    }
    if (decoding_) {
        theora_clear(&decoder_);
        decoding_ = false;
    }
    theora_comment_clear(&comment_);
    theora_info_clear(&info_);
    ogg_sync_clear(&sync_);
}

void TheoraFile::ReleaseStream() {
    stream_.reset();
}

bool TheoraFile::PageOut() {
    // -1: bytes that were no page were skipped; the pages after them still count.
    int got;
    while ((got = ogg_sync_pageout(&sync_, &page_)) < 0) {
    }
    return got > 0;
}

long TheoraFile::BufferData() {
    if (stream_ == nullptr) {
        return 0;
    }
    char* buffer = ogg_sync_buffer(&sync_, kReadSize);
    if (buffer == nullptr) {
        Fail("error during ogg_sync_buffer");
    }
    stream_->Read(buffer, kReadSize);
    const long count = static_cast<long>(stream_->LastRead());
    if (count == 0 && stream_->GetLastError() == wxSTREAM_READ_ERROR) {
        Fail("error reading the video file");
    }
    if (ogg_sync_wrote(&sync_, count) != 0) {
        Fail("error during ogg_sync_wrote");
    }
    return count;
}

void TheoraFile::ReadFirstPages(int& headers) {
    for (;;) {
        if (BufferData() == 0) {
            Fail("eof searched, terminate...");
        }
        while (PageOut()) {
            if (!ogg_page_bos(&page_)) {
                // The first page after the streams' openings: it belongs to the video or
                // is refused here as another stream's.
                if (videoStream_) {
                    ogg_stream_pagein(&video_, &page_);
                }
                return;
            }
            ogg_stream_state test;
            if (ogg_stream_init(&test, ogg_page_serialno(&page_)) != 0) {
                Fail("error during ogg_stream_init");
            }
            if (ogg_stream_pagein(&test, &page_) != 0) {
                ogg_stream_clear(&test);
                Fail("error during ogg_stream_pagein");
            }
            const int got = ogg_stream_packetout(&test, &packet_);
            if (got == -1) {
                ogg_stream_clear(&test);
                Fail("error during ogg_stream_packetout");
            }
            // A page that ends before its stream's first packet does gives no packet yet:
            // that stream is no Theora stream whose header could be read here.
            if (got == 1 && headers == 0 &&
                theora_decode_header(&info_, &comment_, &packet_) >= 0) {
                std::memcpy(&video_, &test, sizeof test);
                videoStream_ = true;
                headers = 1;
            } else {
                ogg_stream_clear(&test);
                // The packet pointed into the stream just cleared.
                std::memset(&packet_, 0, sizeof packet_);
            }
        }
    }
}

void TheoraFile::ReadHeaders(int& headers) {
    while (headers < 3) {
        const int got = videoStream_ ? ogg_stream_packetout(&video_, &packet_) : 0;
        if (got < 0) {
            Fail("error during ogg_stream_packetout");
        }
        if (got > 0) {
            if (theora_decode_header(&info_, &comment_, &packet_) < 0) {
                Fail("error during theora_decode_header (corrupt stream)");
            }
            ++headers;
            continue;
        }
        if (PageOut()) {
            if (videoStream_) {
                ogg_stream_pagein(&video_, &page_);
            }
        } else if (BufferData() == 0) {
            Fail("eof searched. terminate...");
        }
    }
}

void TheoraFile::CheckHeaders() const {
    if (info_.width == 0 || info_.height == 0 || info_.width > kMaxSide ||
        info_.height > kMaxSide) {
        Fail("bad video frame size");
    }
    if (info_.fps_numerator == 0 || info_.fps_denominator == 0) {
        Fail("bad video frame rate");
    }
    if (info_.pixelformat != OC_PF_420 && info_.pixelformat != OC_PF_422 &&
        info_.pixelformat != OC_PF_444) {
        Fail("bad video pixel format");
    }
}

void TheoraFile::InitDecoder() {
    if (theora_decode_init(&decoder_, &info_) != 0) {
        Fail("error during theora_decode_init");
    }
    decoding_ = true;
}

bool TheoraFile::NextPacket() {
    for (;;) {
        // A hole in the stream (-1) is passed over: the packets after it still decode.
        if (ogg_stream_packetout(&video_, &packet_) > 0) {
            return true;
        }
        // Pages already in the sync layer come before new bytes, so the end of the file
        // is reached only after its last page.
        if (PageOut()) {
            ogg_stream_pagein(&video_, &page_);
        } else if (BufferData() == 0) {
            eof_ = true;
            return false;
        }
    }
}

void TheoraFile::DecodeFrame() {
    if (theora_decode_packetin(&decoder_, &packet_) < 0) {
        Fail("error during theora_decode_packetin...");
    }
    if (theora_decode_YUVout(&decoder_, &frame_) != 0) {
        Fail("error during theora_decode_YUVout...");
    }
    ++frames_;
}

void TheoraFile::Advance(float now) {
    const float frameMs = 1000.0f / fps_;
    if (!started_) {
        // The first update counts as one frame period after the one before it.
        lastTime_ = now - frameMs;
        started_ = true;
    }
    acc_ += now - lastTime_;
    lastTime_ = now;
    while (acc_ > frameMs && !eof_) {
        try {
            if (NextPacket()) {
                DecodeFrame();
            }
        } catch (const std::runtime_error&) {
            // The film ends at a failure: nothing more is read or decoded, and the last good
            // frame stays.
            eof_ = true;
            throw;
        }
        acc_ -= frameMs;
    }
}

void TheoraFile::CopyYUV(const Gfx::LockedRect& rect) const {
    auto* const bits = static_cast<unsigned char*>(rect.bits);
    const auto rowAt = [&](std::uint32_t row) {
        return reinterpret_cast<std::uint32_t*>(bits +
                                                static_cast<std::ptrdiff_t>(row) * rect.pitch);
    };
    const bool decoded = frame_.y != nullptr && frame_.u != nullptr && frame_.v != nullptr &&
                         frame_.y_width > 0 && frame_.y_height > 0 && frame_.uv_width > 0 &&
                         frame_.uv_height > 0;
    const std::uint32_t width = decoded ? std::min<std::uint32_t>(frame_.y_width, rect.width) : 0;
    const std::uint32_t height =
        decoded ? std::min<std::uint32_t>(frame_.y_height, rect.height) : 0;
    // The chroma sample of a texel by halving its row and column where the chroma planes
    // are subsampled, so 4:2:2 and 4:4:4 streams never read outside their planes.
    const int xShift = decoded ? ChromaShift(frame_.y_width, frame_.uv_width) : 0;
    const int yShift = decoded ? ChromaShift(frame_.y_height, frame_.uv_height) : 0;
    for (std::uint32_t row = 0; row < height; ++row) {
        const int chromaRow = std::min(static_cast<int>(row) >> yShift, frame_.uv_height - 1);
        const std::ptrdiff_t chroma = static_cast<std::ptrdiff_t>(chromaRow) * frame_.uv_stride;
        std::uint32_t* const out = rowAt(row);
        ConvertRow(out, frame_.y + static_cast<std::ptrdiff_t>(row) * frame_.y_stride,
                   frame_.u + chroma, frame_.v + chroma, static_cast<int>(width), frame_.uv_width,
                   xShift);
        std::fill(out + width, out + rect.width, kVideoBlack);
    }
    // What the frame does not cover is black, whatever the surface held before.
    for (std::uint32_t row = height; row < rect.height; ++row) {
        std::fill(rowAt(row), rowAt(row) + rect.width, kVideoBlack);
    }
}
