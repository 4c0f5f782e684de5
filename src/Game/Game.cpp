#include "Game/Game.h"

#include "Game/Check.h"
#include "Game/Log.h"
#include "Game/TexturePreload.h"
#include "Platform/Clock/Clock.h"
#include "Platform/Window/CCustomMessageLoop.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <utility>

Game* g_game = nullptr;

Game& game() {
    return *g_game;
}

namespace {

Game::Environment WithDefaults(Game::Environment environment) {
    if (!environment.ticks) {
        environment.ticks = Clock::Milliseconds;
    }
    if (!environment.postQuit) {
        environment.postQuit = PostQuitMessage;
    }
    return environment;
}

// The generator of the scripts' random numbers, seeded as the classic twister was with
// 4357: state word j is 4357 * 69069^(j+1) modulo 2^32, and the index stands at the end
// of the state, so the first draw regenerates all of it. Every run repeats the sequence.
std::mt19937 SeededGenerator() {
    std::ostringstream state;
    std::uint32_t word = 4357;
    for (std::size_t j = 0; j < std::mt19937::state_size; ++j) {
        word *= 69069u;
        state << word << ' ';
    }
    // The position within the state, which this library's text form carries last.
    state << std::mt19937::state_size;
    std::mt19937 generator;
    std::istringstream in(state.str());
    in >> generator;
    Assert(!in.fail(), ".\\Game\\Game", "in >> generator");
    return generator;
}

} // namespace

Game::Game() : Game(Environment{}) {}

Game::Game(Environment environment)
    : sound_([this] { return Time(); }), random_(SeededGenerator()),
      environment_(WithDefaults(std::move(environment))), startTick_(environment_.ticks()) {
    map_.SetPreloadTarget(&GameTexturePreload());
    hdr_.duration_ = 1.0f;
    sky_.duration_ = 1.0f;
}

Game::~Game() {
    map_.JoinPreload();
}

std::uint64_t Game::ElapsedTicks() const {
    return environment_.ticks() - startTick_;
}

// The subtraction is done on the 64-bit count, so the float keeps millisecond steps for
// days of play whatever the machine's uptime.
float Game::Time() const {
    return static_cast<float>(ElapsedTicks());
}

float Game::GameTime() const {
    std::lock_guard<std::mutex> lock(clockMutex_);
    return playTime_;
}

void Game::SetClockRunning(bool run) {
    std::lock_guard<std::mutex> lock(clockMutex_);
    // The base and the resume time are set before the flag, and under the lock, so no
    // frame ever computes the clock from a stale resume time.
    if (run) {
        clockBase_ = playTime_;
        resumeTime_ = Time();
    }
    clockRunning_ = run;
}

bool Game::ClockRunning() const {
    std::lock_guard<std::mutex> lock(clockMutex_);
    return clockRunning_;
}

void Game::RestartClock() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    playTime_ = clockBase_ = 0.0f;
    resumeTime_ = Time();
    clockRunning_ = true;
}

void Game::UpdateClock() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    if (clockRunning_) {
        playTime_ = clockBase_ + (Time() - resumeTime_);
    }
}

float Game::Rand() {
    // u * 2^-32 is exact in double; rounding it to float maps the largest outputs to 1.0.
    const std::uint32_t u = static_cast<std::uint32_t>(random_());
    return static_cast<float>(static_cast<double>(u) * 0x1p-32);
}

int Game::Dice(int a, int b) {
    const int result =
        static_cast<int>(static_cast<float>(a) + Rand() * static_cast<float>(b - a + 1));
    // Rand() may answer exactly 1.0, which would give b + 1.
    return a <= b && result > b ? b : result;
}

void Game::Halt(float ms) {
    haltUntil_ = Time() + ms;
}

void Game::SetSpeed(float v) {
    constexpr float kSlowest = 0.00000001f;
    constexpr float kFastest = 0.01f;
    skySpeed_ = v < kSlowest ? kSlowest : (v > kFastest ? kFastest : v);
}

void Game::SetMask(int n) {
    mask_ = n != 0;
}

void Game::SetControl(int n) {
    control_ = n != 0;
}

float Game::SkyRotation() const {
    if (control_) {
        return sky_.Value(Time());
    }
    // In double and reduced to one turn before narrowing: after hours of play the angle
    // would otherwise be too large for a float to turn smoothly.
    const double angle = static_cast<double>(skySpeed_) * static_cast<double>(ElapsedTicks());
    return static_cast<float>(std::fmod(angle, 2.0 * std::numbers::pi));
}

float Game::HdrLevel() const {
    return hdr_.Value(Time());
}

void Game::SetHdrLevel(float level) {
    hdr_.Retarget(level, Time(), 1000.0f);
}

std::string Game::CurrentEffect() {
    return map_.CurrentEffect();
}

void Game::SetInfoText(std::string text) {
    info_ = std::move(text);
}

void Game::SetSubtitle(std::string text) {
    subtitle_ = std::move(text);
}

void Game::Trace(std::string text) {
    LogWrite(text);
}

void Game::Exit() {
    environment_.postQuit(0);
}

void Game::RunScript(std::string script) {
    try {
        lua_.Execute(script);
    } catch (const lua::exception& e) {
        LogWrite(e.Text());
    }
}

Game::SaveSlot* Game::Slot(int i, const char* function) {
    if (i < 1 || i > kSaveSlots) {
        LogFormat("%1%: no save slot %2%", function, i);
        return nullptr;
    }
    return &saves_[static_cast<std::size_t>(i - 1)];
}

const Game::SaveSlot* Game::Slot(int i, const char* function) const {
    return const_cast<Game*>(this)->Slot(i, function);
}

float Game::SaveTime(int i) const {
    const SaveSlot* slot = Slot(i, "game_save_time");
    return slot != nullptr ? slot->time_ : 0.0f;
}

std::string Game::SavePart(int i) const {
    const SaveSlot* slot = Slot(i, "game_save_part");
    return slot != nullptr && !slot->part_.empty() ? slot->part_ : "empty";
}

void Game::SetSaveSlot(int i, float time, const std::string& part) {
    if (SaveSlot* slot = Slot(i, "SetSaveSlot")) {
        slot->time_ = time;
        slot->part_ = part;
    }
}
