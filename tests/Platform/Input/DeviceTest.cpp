#include "Platform/Input/Device.h"

#include "FrameInput.h"

#include <gtest/gtest.h>
#include <limits>

using namespace Input;
using test::OfsData;
using test::OfsDataOf;
using test::TakeAll;

namespace {

Record Rec(std::uint32_t ofs, std::int32_t data, std::uint32_t sequence = 0) {
    Record r;
    r.dwOfs = ofs;
    r.dwData = static_cast<std::uint32_t>(data);
    r.dwSequence = sequence;
    r.dwTimeStamp = sequence * 10;
    return r;
}

} // namespace

// Records pushed while the device is not acquired are dropped: before the first Acquire and in
// the background, where the device cannot be acquired. Window systems also announce the focus
// at start-up, after the device was acquired: a repeated focus gain keeps it acquired.
TEST(InputDevice, UnacquiredDevicesBufferNothing) {
    Device mouse(Device::Kind::Mouse);
    mouse.Push(Rec(DIMOFS_BUTTON0, Pressed));
    Record out[4];
    std::uint32_t count = 4;
    EXPECT_EQ(mouse.GetDeviceData(out, &count), ErrNotAcquired);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(mouse.Acquire(), Ok);
    EXPECT_TRUE(TakeAll(mouse).empty());
    EXPECT_EQ(mouse.GetDeviceData(out, nullptr), ErrInvalidParam);

    mouse.OnFocus(true);
    EXPECT_TRUE(mouse.Acquired());
    mouse.Push(Rec(DIMOFS_X, 9));
    mouse.OnFocus(false);
    EXPECT_FALSE(mouse.Acquired());
    mouse.Push(Rec(DIMOFS_BUTTON0, Pressed));
    EXPECT_EQ(mouse.Acquire(), ErrOtherAppHasPrio);
    mouse.OnFocus(true);
    ASSERT_EQ(mouse.Acquire(), Ok);
    EXPECT_TRUE(TakeAll(mouse).empty());
}

TEST(InputDevice, MotionRunsAreSummedPerAxisAndButtonsEndARun) {
    Device mouse(Device::Kind::Mouse);
    ASSERT_EQ(mouse.Acquire(), Ok);
    const Record pushed[] = {
        Rec(DIMOFS_X, 3, 1),       Rec(DIMOFS_Y, -2, 1),
        Rec(DIMOFS_X, 4, 2),       Rec(DIMOFS_BUTTON0, Pressed, 3),
        Rec(DIMOFS_X, 1, 4),       Rec(DIMOFS_Z, 120, 5),
        Rec(DIMOFS_X, 1, 6),       Rec(DIMOFS_Y, 5, 6),
        Rec(DIMOFS_BUTTON0, 0, 7), Rec(DIMOFS_Y, -1, 8),
    };
    for (const Record& r : pushed) {
        mouse.Push(r);
    }
    const std::vector<Record> got = TakeAll(mouse);
    const std::vector<OfsData> expected = {
        {DIMOFS_X, 7},   {DIMOFS_Y, -2}, {DIMOFS_BUTTON0, Pressed}, {DIMOFS_X, 2},
        {DIMOFS_Z, 120}, {DIMOFS_Y, 5},  {DIMOFS_BUTTON0, 0},       {DIMOFS_Y, -1},
    };
    EXPECT_EQ(OfsDataOf(got), expected);
    // A summed record carries the time and sequence of its newest part.
    EXPECT_EQ(got[0].dwSequence, 2u);
    EXPECT_EQ(got[0].dwTimeStamp, 20u);
    EXPECT_EQ(got[3].dwSequence, 6u);
}

// Sums saturate instead of wrapping; keyboard codes equal to mouse axes (DIK_3 has the value
// of DIMOFS_Y, DIK_7 that of DIMOFS_Z) are never summed.
TEST(InputDevice, MotionSumsSaturateAndKeysAreNeverSummed) {
    Device mouse(Device::Kind::Mouse);
    Device keyboard(Device::Kind::Keyboard);
    ASSERT_EQ(mouse.Acquire(), Ok);
    ASSERT_EQ(keyboard.Acquire(), Ok);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    for (const Record& r :
         {Rec(DIMOFS_X, kMax), Rec(DIMOFS_X, 5), Rec(DIMOFS_Y, kMin), Rec(DIMOFS_Y, -1)}) {
        mouse.Push(r);
    }
    EXPECT_EQ(OfsDataOf(TakeAll(mouse)),
              (std::vector<OfsData>{{DIMOFS_X, kMax}, {DIMOFS_Y, kMin}}));
    for (std::uint32_t code : {DIK_3, DIK_3, DIK_7, DIK_7}) {
        keyboard.Push(Rec(code, Pressed));
    }
    EXPECT_EQ(TakeAll(keyboard).size(), 4u);
}

TEST(InputDevice, CooperativeLevels) {
    Device keyboard(Device::Kind::Keyboard);
    EXPECT_EQ(keyboard.SetCooperativeLevel(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), Ok);
    for (std::uint32_t bad : {0u, DISCL_EXCLUSIVE, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | 0x4u,
                              DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND,
                              DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | 0x10u}) {
        EXPECT_EQ(keyboard.SetCooperativeLevel(bad), ErrInvalidParam) << bad;
    }
    // Without a video driver the pointer cannot be captured; the mouse works all the same.
    Device mouse(Device::Kind::Mouse);
    EXPECT_EQ(mouse.SetCooperativeLevel(DISCL_EXCLUSIVE | DISCL_FOREGROUND), Ok);
}
