#pragma once

// Inside the platform layers only: game code never includes this header.

#include "Platform/Session/SessionScript.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace Session {

// A scripted run of the program, for tests: a fixed clock step, input injected where the
// platform's events enter, and presented frames written to PNG files. The platform layers
// consult it; the game never learns of it. The clock may be read from any thread; every
// other call belongs to the user-interface thread.
class Session {
public:
    // The environment variable naming the script file of the process's session.
    static constexpr const char* kVariable = "KORVANTINE_SESSION";
    // The counter frequency of the fixed clock: microseconds.
    static constexpr std::int64_t kCounterFrequency = 1000000;

    // Captures are written to `folder`.
    Session(Script script, std::filesystem::path folder);

    // The process's session, read once from the file the variable names (its captures go
    // to the script's folder); null when the variable is not set or empty. A script that
    // cannot be read or has a bad line throws exception with the file and the reason, at
    // this call and at every later one, so the run ends with an error.
    static Session* Active();
    // Reads and parses a script file; throws exception as Active does.
    static std::unique_ptr<Session> Load(const std::filesystem::path& file);

    const Script& GetScript() const { return script_; }

    // The clock: with a step, the time is the number of presented frames times the step,
    // so frame n is drawn at (n - 1) * step; without one these are not used.
    bool FixedStep() const { return script_.step > 0; }
    std::uint64_t Milliseconds() const;
    std::int64_t Counter() const;

    // The number of frames presented so far; the frame being drawn is one more.
    unsigned Presented() const { return presented_.load(std::memory_order_acquire); }
    void FramePresented() { presented_.fetch_add(1, std::memory_order_acq_rel); }

    // The files that frame `frame` is written to when it is presented.
    std::vector<std::filesystem::path> CapturesOf(unsigned frame) const;

    // The input and close commands of the frames up to the one drawn next that were not
    // taken yet, in order.
    std::vector<Command> TakeInput();

private:
    Script script_;
    std::filesystem::path folder_;
    std::atomic<unsigned> presented_{0};
    std::size_t taken_ = 0;
};

} // namespace Session
