#pragma once

#include <cstdint>
#include <memory>
#include <ogg/ogg.h>
#include <string>
#include <theora/theora.h>
#include <wx/stream.h>

namespace Gfx {
class Surface;
struct LockedRect;
} // namespace Gfx

// Plays the picture of an Ogg Theora video into a 32-bit surface. The first logical stream
// whose first packet is a Theora header is the video; every other stream (sound tracks
// included) is ignored. The decoder paces itself by the time it is given, decoding as many
// frames as the time since the last update asks for, and writes the last decoded frame on
// every update; at the end of the stream the picture stays on the last frame.
// Every failure throws std::runtime_error with the failing step's text. A failure while the
// film plays (a frame that does not decode, a read that fails) ends the film there: nothing
// more is decoded and the last good frame stays.
class TheoraFile {
public:
    // Frames wider or taller than this are refused: nothing the engine shows needs more,
    // and a damaged header must not make the decoder allocate gigabytes.
    static constexpr std::uint32_t kMaxSide = 4096;

    // Opens the file through the locator and reads the headers. A file that cannot be
    // opened fails like an empty one ("eof searched, terminate...").
    explicit TheoraFile(const std::string& name);
    // The same over an open stream (none: as a file that cannot be opened).
    TheoraFile(const std::string& name, std::unique_ptr<wxInputStream> stream);
    ~TheoraFile();
    TheoraFile(const TheoraFile&) = delete;
    TheoraFile& operator=(const TheoraFile&) = delete;

    // Decodes the frames due at `Game::Time` and writes the current frame into the surface
    // (see CopyYUV). A frame that fails to decode throws before the surface is written.
    void UpdateSurface(Gfx::Surface& surface);
    // Decodes the frames due at `now` (ms on Game::Time): one per whole frame period since
    // the last call; the first call counts as one period after the one before it.
    void Advance(float now);
    // Writes the current frame into a locked 32-bit surface from its top-left corner, each
    // texel 0xFF000000 | V << 16 | U << 8 | Y, clipped to the surface; the rest of the
    // surface (all of it before the first decoded frame) becomes video black (Y 16, U and
    // V 128), whatever it held before.
    void CopyYUV(const Gfx::LockedRect& rect) const;

    const std::string& Name() const { return name_; }
    float Fps() const { return fps_; }
    bool Eof() const { return eof_; }
    // Frames decoded so far.
    std::uint32_t Frames() const { return frames_; }
    // The coded frame size from the headers.
    std::uint32_t Width() const { return info_.width; }
    std::uint32_t Height() const { return info_.height; }

private:
    void Open();
    void ClearState();
    void ResetStreams();
    void ReadFirstPages(int& headers);
    void ReadHeaders(int& headers);
    void CheckHeaders() const;
    void InitDecoder();
    // A packet of the video stream into packet_; false at the end of the file.
    bool NextPacket();
    void DecodeFrame();
    // One read of up to 8192 bytes into the sync layer; the count read.
    long BufferData();
    // The next whole page of the sync layer into page_; false when it needs more bytes.
    bool PageOut();
    void ReleaseStream();
    // The libogg and libtheora records, released in reverse order of their making.
    void ReleaseState();

    std::string name_;
    std::unique_ptr<wxInputStream> stream_;
    bool eof_ = false;
    float lastTime_ = 0.0f;
    // Whether lastTime_ holds an update's time (a time of 0 is a time like any other).
    bool started_ = false;
    float acc_ = 0.0f;
    float fps_ = 30.0f;
    std::uint32_t frames_ = 0;
    bool videoStream_ = false; // whether videoStream_ holds a stream of its own
    ogg_stream_state video_;
    ogg_sync_state sync_;
    ogg_page page_;
    ogg_packet packet_;
    theora_comment comment_;
    theora_info info_;
    theora_state decoder_;
    bool decoding_ = false; // whether decoder_ was set up
    yuv_buffer frame_;
};
