#include "Game/Keyboard.h"
#include "Game/Mouse.h"
#include "Platform/Input/DirectInput.h"
#include "RecordingState.h"
#include "support/GameFixture.h"

#include <memory>
#include <vector>

namespace {

using Input::DIMOFS_BUTTON0;
using Input::DIMOFS_BUTTON1;
using Input::DIMOFS_X;
using Input::Pressed;

class InputDeviceTest : public test::GameFixture {
protected:
    void Push(InputDevice& device, std::uint32_t ofs, std::uint32_t data) {
        device.GetDevice().Push({ofs, data, 0, ++sequence_, 0});
    }

    InputDevice::CurrentState Current() {
        return [this] { return current_; };
    }

    static std::vector<std::uint32_t> Offsets(const std::vector<State::InputRecord>& records) {
        std::vector<std::uint32_t> out;
        for (const auto& r : records) {
            out.push_back(r.dwOfs);
        }
        return out;
    }

    static std::vector<std::size_t> Sizes(const test::RecordingState& state) {
        std::vector<std::size_t> out;
        for (const auto& batch : state.batches_) {
            out.push_back(batch.records.size());
        }
        return out;
    }

    Input::DirectInput dinput_;
    std::shared_ptr<test::RecordingState> state_ = std::make_shared<test::RecordingState>();
    std::shared_ptr<test::RecordingState> other_ = std::make_shared<test::RecordingState>();
    std::shared_ptr<State::Base> current_ = state_;
    std::uint32_t sequence_ = 0;
};

// Every record of a frame arrives in the same frame, in order, in batches of at most 16,
// whatever the count (a release after 39 records is not lost); an empty frame still hands
// over one empty batch.
TEST_F(InputDeviceTest, DeliversEveryQueuedRecordInBatchesOfSixteen) {
    struct Case {
        int records;
        std::vector<std::size_t> batches;
    };
    for (const Case& c :
         {Case{0, {0}}, Case{1, {1}}, Case{16, {16}}, Case{17, {16, 1}}, Case{40, {16, 16, 8}}}) {
        Keyboard keyboard(dinput_);
        Mouse mouse(dinput_);
        for (InputDevice* device : std::initializer_list<InputDevice*>{&keyboard, &mouse}) {
            const bool keys = device == &keyboard;
            state_->batches_.clear();
            std::vector<std::uint32_t> sent;
            for (int i = 0; i < c.records; ++i) {
                sent.push_back(keys ? Input::DIK_A + static_cast<std::uint32_t>(i % 40)
                                    : DIMOFS_BUTTON0 + static_cast<std::uint32_t>(i % 3));
                Push(*device, sent.back(), i % 2 == 0 ? Pressed : 0);
            }
            device->Update(Current());
            EXPECT_EQ(Sizes(*state_), c.batches) << c.records << " records";
            EXPECT_EQ(Offsets(state_->Records(keys)), sent) << c.records << " records";
            state_->batches_.clear();
            device->Update(Current());
            EXPECT_EQ(Sizes(*state_), std::vector<std::size_t>{0}) << "nothing left over";
        }
    }
}

// A batch that switches the scene hands the rest of the frame's records to the new state,
// as the next frame's batch would go there. Without a current state the records are taken
// and dropped.
TEST_F(InputDeviceTest, RecordsFollowTheCurrentStateOrAreDropped) {
    Mouse mouse(dinput_);
    state_->afterBatch_ = [this] { current_ = other_; };
    for (int i = 0; i < 20; ++i) {
        Push(mouse, i % 2 == 0 ? DIMOFS_BUTTON0 : DIMOFS_BUTTON1, i % 4 < 2 ? Pressed : 0);
    }
    mouse.Update(Current());
    EXPECT_EQ(Sizes(*state_), std::vector<std::size_t>{16});
    EXPECT_EQ(Sizes(*other_), std::vector<std::size_t>{4});

    Push(mouse, DIMOFS_BUTTON0, Pressed);
    current_.reset();
    mouse.Update(Current());
    current_ = other_;
    mouse.Update(Current());
    EXPECT_EQ(Sizes(*other_), (std::vector<std::size_t>{4, 0}));
}

// A device in the background fails every frame: one acquire attempt per frame, no input.
// Back in the foreground the first frame re-acquires and delivers nothing, the next reads.
TEST_F(InputDeviceTest, BackgroundDeviceIsReacquiredOncePerFrame) {
    Mouse mouse(dinput_);
    mouse.GetDevice().OnFocus(false);
    Push(mouse, DIMOFS_BUTTON0, Pressed); // not buffered while unacquired
    for (int frame = 0; frame < 3; ++frame) {
        mouse.Update(Current());
        EXPECT_FALSE(mouse.GetDevice().Acquired());
    }
    mouse.GetDevice().OnFocus(true);
    mouse.Update(Current());
    EXPECT_TRUE(mouse.GetDevice().Acquired());
    EXPECT_TRUE(state_->batches_.empty());
    Push(mouse, DIMOFS_X, 5);
    mouse.Update(Current());
    ASSERT_EQ(Sizes(*state_), std::vector<std::size_t>{1});
    EXPECT_EQ(state_->batches_[0].records[0].dwData, 5u);
}

} // namespace
