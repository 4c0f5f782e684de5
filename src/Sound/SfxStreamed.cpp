#include "Sound/SfxStreamed.h"

#include "Game/Check.h"
#include "Game/Log.h"
#include "Platform/Audio/Buffer.h"
#include "Platform/Audio/Event.h"

#include <array>
#include <cstring>

namespace Sound {

namespace {

const char* const kWhere = ".\\Sound\\Sfx";

constexpr std::uint32_t kStreamFlags =
    Audio::Caps::GetCurrentPosition2 | Audio::Caps::CtrlPositionNotify | Audio::Caps::CtrlVolume;

} // namespace

SfxStreamed::SfxStreamed(const std::string& src, const std::shared_ptr<Audio::Event>& event,
                         bool loop)
    : Base(src, kStreamFlags, loop, kRingSize) {
    streamed_ = true;
    // The last byte of every block.
    std::array<Audio::NotifyPosition, kBlocks> positions;
    for (std::uint32_t k = 0; k < kBlocks; ++k) {
        positions[k] = {kBlockSize - 1 + k * kBlockSize, event};
    }
    CheckResult(buf_->SetNotificationPositions(positions), kWhere,
                "notify->SetNotificationPositions( 8, pos )");
}

void SfxStreamed::Reset() {
    Fill();
    nextBlock_ = 0;
    endBlock_ = kNoBlock;
    eof_ = false;
}

void SfxStreamed::Update() {
    RestoreIfLost();
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    CheckResult(buf_->GetCurrentPosition(&play, &write), kWhere,
                "buf_->GetCurrentPosition( &dwCurrentPlayPos, &dwCurrentReadPos )");
    const std::uint32_t cursorBlock = write / kBlockSize;
    while (nextBlock_ != cursorBlock) {
        // The block before the end block holds the last data; once the cursor has left it,
        // everything has played. Tested on the block to refill rather than on the cursor's
        // block alone, so that an update that comes late by several blocks still stops.
        if (cursorBlock == endBlock_ || (eof_ && (nextBlock_ + 1) % kBlocks == endBlock_)) {
            LogWrite("end reached");
            Stop();
            Reset();
            buf_->SetCurrentPosition(0);
            RestoreIfLost();
            return;
        }
        void* block = nullptr;
        void* wrapped = nullptr;
        std::uint32_t bytes = 0;
        std::uint32_t wrappedBytes = 0;
        CheckResult(buf_->Lock(nextBlock_ * kBlockSize, kBlockSize, &block, &bytes, &wrapped,
                               &wrappedBytes, 0),
                    kWhere,
                    "buf_->Lock ( dwWriteOffset, BufSize , &pDSLockedBuffer , "
                    "&dwDSLockedBufferSize , &pDSLockedBuffer2, &dwDSLockedBufferSize2, 0L )");
        if (wrapped != nullptr) {
            buf_->Unlock(block, 0, wrapped, 0);
            Assert(false, kWhere, "pDSLockedBuffer2 == 0");
        }
        FillBlock(static_cast<std::uint8_t*>(block));
        buf_->Unlock(block, bytes, nullptr, 0);
        nextBlock_ = (nextBlock_ + 1) % kBlocks;
    }
}

void SfxStreamed::FillBlock(std::uint8_t* block) {
    std::uint32_t got = eof_ ? 0 : file_->Read(block, kBlockSize);
    while (!eof_ && got < kBlockSize) {
        if (loop_) {
            LogWrite("SfxStreamed::Looping");
            file_->Reset();
            const std::uint32_t more = file_->Read(block + got, kBlockSize - got);
            got += more;
            if (more != 0) {
                continue;
            }
            // A source that gives nothing from its start cannot loop: it ends instead.
        }
        eof_ = true;
        endBlock_ = (nextBlock_ + 1) % kBlocks;
    }
    std::memset(block + got, Silence(), kBlockSize - got);
}

} // namespace Sound
