// The test program's process-wide set-up: the wxWidgets library that the locator needs,
// and the log written to a file, so the tests can read every line of a run.

#include "Game/Log.h"
#include "Game/Opts.h"
#include "LogFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <wx/init.h>

namespace test {

// One file per process: CTest runs the cases of this program as parallel processes.
std::string LogFilePath() {
    return std::string(KV_TEST_TMP_DIR) + "/game_definition." + std::to_string(::getpid()) + ".log";
}

} // namespace test

namespace {

class DefinitionEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Kept for the whole process: the locator lives until the process ends.
        static std::unique_ptr<wxInitializer> library = std::make_unique<wxInitializer>();
        ASSERT_TRUE(library->IsOk());
        std::filesystem::create_directories(KV_TEST_TMP_DIR);
        // The log takes its path from the settings when it is first used.
        Opts::Data settings;
        settings.logPath_ = test::LogFilePath();
        g_opts = &settings;
        Log::Instance();
        g_opts = nullptr;
        ASSERT_TRUE(Log::Instance().HasFile());
    }
};

[[maybe_unused]] const auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new DefinitionEnvironment);

} // namespace
