#include "Game/Check.h"

#include "Game/Exception.h"
#include "Game/Log.h"

#include <gtest/gtest.h>

namespace {

std::string LastKept() {
    const std::string lines = Log::Instance().Lines();
    // The location texts end with their message, so the last entry starts at its "\tAt".
    return lines.substr(lines.rfind("\tAt "));
}

TEST(Exception, TextsOfTheThreeConstructors) {
    EXPECT_STREQ(exception().what(), "Unknown exception");
    EXPECT_STREQ(exception("Cannot load 'korvantine.xml'").what(), "Cannot load 'korvantine.xml'");
    EXPECT_STREQ(exception(-2005530516, "").what(), "HRESULT: -2005530516\n");
    EXPECT_STREQ(exception(1, "where").what(), "HRESULT: 1\nwhere");
    EXPECT_EQ(HResultText(static_cast<int>(0x88760868u), "x"), "HRESULT: -2005530520\nx");
}

TEST(CheckResult, SuccessDoesNothing) {
    const std::string before = Log::Instance().Lines();
    EXPECT_NO_THROW(CheckResult(0, ".\\Game\\Engine", "dx().sprite()->End ()"));
    EXPECT_EQ(Log::Instance().Lines(), before);
}

TEST(CheckResult, FailureLogsTheLocationAndThrowsTheResultCode) {
    try {
        CheckResult(-2005530516, ".\\Game\\Engine", "dx().sprite()->End ()");
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "HRESULT: -2005530516\n");
    }
    EXPECT_EQ(LastKept(), "\tAt .\\Game\\Engine\n\tOn dx().sprite()->End ()\n");
}

TEST(CheckResult, AnyNonZeroResultFailsAndCarriesItsMessage) {
    try {
        CheckResult(1, ".\\Game\\DirectX", "d3d_->GetDeviceCaps( 0, D3DDEVTYPE_HAL, &caps )",
                    "Cannot get device caps");
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "HRESULT: 1\n");
    }
    EXPECT_EQ(LastKept(), "\tAt .\\Game\\DirectX\n\tOn d3d_->GetDeviceCaps( 0, D3DDEVTYPE_HAL, "
                          "&caps )\nCannot get device caps");
}

TEST(Assert, BrokenConditionLogsAndThrowsWithoutText) {
    EXPECT_NO_THROW(Assert(true, ".\\Game\\Engine", "state != 0", "No state assigned"));
    try {
        Assert(false, ".\\Game\\Engine", "state != 0", "No state assigned");
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "Unknown exception");
    }
    EXPECT_EQ(LastKept(), "\tAt .\\Game\\Engine\n\tOn state != 0\nNo state assigned");
}

} // namespace
