#pragma once

#include "Sound/Base.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Audio {
class Event;
}

namespace Sound {

// A streamed sound: a ring of 8 blocks of 32 KiB, always played looping, refilled from the
// source behind the write cursor. The device sets the shared event each time the play
// position passes the end of a block; the sound manager then calls Update. At the end of a
// source without loop the sound stops itself, rewound, once the data in the ring has played.
class SfxStreamed : public Base {
public:
    static constexpr std::uint32_t kBlockSize = 32768;
    static constexpr std::uint32_t kBlocks = 8;
    static constexpr std::uint32_t kRingSize = kBlockSize * kBlocks;
    static constexpr std::uint32_t kNoBlock = 0xFFFFFFFF;

    SfxStreamed(const std::string& src, const std::shared_ptr<Audio::Event>& event, bool loop);

    // The ring refilled from the start of the source.
    void Reset() override;
    // Refills the blocks the write cursor has left, or stops at the end of the data.
    void Update();

private:
    // Writes one block of the ring from the source (or silence once it is exhausted).
    void FillBlock(std::uint8_t* block);

    std::uint32_t nextBlock_ = 0;
    std::uint32_t endBlock_ = kNoBlock;
    bool eof_ = false;
};

} // namespace Sound
