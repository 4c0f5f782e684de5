#include "Game/Check.h"

#include "Game/Exception.h"
#include "Game/Log.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(Exception, TextsOfTheThreeConstructors) {
    EXPECT_STREQ(exception().what(), "Unknown exception");
    EXPECT_STREQ(exception("Cannot load 'korvantine.xml'").what(), "Cannot load 'korvantine.xml'");
    EXPECT_STREQ(exception(-2005530516, "").what(), "HRESULT: -2005530516\n");
    EXPECT_STREQ(exception(1, "where").what(), "HRESULT: 1\nwhere");
    EXPECT_EQ(HResultText(static_cast<int>(0x88760868u), "x"), "HRESULT: -2005530520\nx");
}

// A failed check logs its location (and message) as one entry and throws; success does
// neither.
TEST(CheckResult, FailuresLogTheLocationAndThrow) {
    struct Case {
        std::function<void()> check;
        const char* error; // nullptr: no failure
        const char* logged;
    };
    const Case cases[] = {
        {[] { CheckResult(0, ".\\Game\\Engine", "dx().sprite()->End ()"); }, nullptr, ""},
        {[] { Assert(true, ".\\Game\\Engine", "state != 0", "No state assigned"); }, nullptr, ""},
        {[] { CheckResult(-2005530516, ".\\Game\\Engine", "dx().sprite()->End ()"); },
         "HRESULT: -2005530516\n", "\tAt .\\Game\\Engine\n\tOn dx().sprite()->End ()\n"},
        {[] {
             CheckResult(1, ".\\Game\\DirectX", "d3d_->GetDeviceCaps( 0, D3DDEVTYPE_HAL, &caps )",
                         "Cannot get device caps");
         },
         "HRESULT: 1\n",
         "\tAt .\\Game\\DirectX\n\tOn d3d_->GetDeviceCaps( 0, D3DDEVTYPE_HAL, &caps )\n"
         "Cannot get device caps"},
        {[] { Assert(false, ".\\Game\\Engine", "state != 0", "No state assigned"); },
         "Unknown exception", "\tAt .\\Game\\Engine\n\tOn state != 0\nNo state assigned"},
    };
    for (const Case& c : cases) {
        LogWrite("-- mark --");
        try {
            c.check();
            EXPECT_EQ(c.error, nullptr) << "no exception";
        } catch (const exception& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        const std::string lines = Log::Instance().Lines();
        EXPECT_EQ(lines.substr(lines.rfind("-- mark --") + 10),
                  c.error ? "\n" + std::string(c.logged) : "");
    }
}

} // namespace
