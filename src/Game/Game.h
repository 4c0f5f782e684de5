#pragma once

#include "Game/AnimatedValue.h"
#include "Game/Cursor.h"
#include "Game/Inventory.h"
#include "Game/Map.h"
#include "Game/TexMgr.h"
#include "Script/State.h"
#include "Sound/Manager.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

// The one game object: the map with its states, the Lua interpreter, the program's time
// base, the game clock, the scripts' random numbers, the values that scripts and scenes set
// for the final image, the on-screen texts and the save-slot summaries. Reached through
// game(). The script-facing operations are published to Lua by the script API.
class Game {
public:
    // Where the game takes what the platform gives it.
    struct Environment {
        // A monotonic millisecond count (any origin); the platform clock when empty.
        std::function<std::uint64_t()> ticks;
        // Asks the message loop to end with an exit code; the thread's loop when empty.
        std::function<void(int)> postQuit;
    };

    // Idle camera-sway settings, filled from the definition's "settings" element.
    struct Idle {
        float period_x = 0.0f;
        float period_y = 0.0f;
        float ampl_x = 0.0f;
        float ampl_y = 0.0f;
        float delay = 0.0f;
    };

    // The summary of one save slot.
    struct SaveSlot {
        float time_ = 0.0f;
        std::string part_;
    };
    static constexpr int kSaveSlots = 6;

    Game();
    explicit Game(Environment environment);
    // Cancels and joins the map's preload before anything it uses is torn down.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Reads the game definition "korvantine.xml" through the locator: the idle sway, the
    // cursor, the inventory and the library, the script API, then the map. Throws on any
    // failure ("Cannot load 'korvantine.xml'" when the file cannot be read).
    void Load();
    // The "idle" child of the definition's "settings" element: five required numbers.
    void LoadIdle(const XmlDom::Element& settings);
    // Publishes the script API: the `vars` table, the variable dump functions and the
    // game's globals, in their fixed order.
    void RegisterApi();
    // Lua "game_reset": a new game. Empty `vars`, every state restarted, mask and control
    // off, the clock running from 0. It does not move.
    void Reset();

    // Time and clock.

    // Milliseconds since the game was built: the time base of animations, fades, timers and
    // the halt deadline. Lua "time".
    float Time() const;
    // The game clock in milliseconds. Lua "game_time".
    float GameTime() const;
    // Stops or starts the game clock; starting re-bases it on the last frame's value. Safe
    // to call from the preload worker.
    void SetClockRunning(bool run);
    // Whether the game clock runs.
    bool ClockRunning() const;
    // A new game: the clock runs from 0.
    void RestartClock();
    // Once per rendered frame, before the states are drawn: advances the running clock.
    void UpdateClock();

    // Random numbers.

    // The next number in [0, 1] (exactly 1 with probability 2^-25). Lua "rand".
    float Rand();
    // A whole number from a to b. Lua "dice".
    int Dice(int a, int b);

    // Scene and image values.

    // Scene input is ignored for the next ms milliseconds. Lua "halt".
    void Halt(float ms);
    // The sky's rotation speed per millisecond, clamped to [1e-8, 0.01]. Lua "speed".
    void SetSpeed(float v);
    // Lua "mask".
    void SetMask(int n);
    // Lua "control": a set flag freezes the sky at its animated value.
    void SetControl(int n);
    // The sky rotation in radians, read by the cube-map effect each frame.
    float SkyRotation() const;
    // The scene's exposure level, read by the final pass.
    float HdrLevel() const;
    // Glides the exposure level to `level` over 1000 ms.
    void SetHdrLevel(float level);
    // The effect the current state wants (the part's when the state names none).
    std::string CurrentEffect();
    void SetInfoText(std::string text);
    void SetSubtitle(std::string text);
    // Writes one log line. Lua "trace".
    void Trace(std::string text);
    // Asks the message loop to end with exit code 0; nothing happens without a loop.
    // Lua "game_exit".
    void Exit();
    // Runs a Lua text; a Lua error is logged and the caller goes on.
    void RunScript(std::string script);

    // Save-slot summaries, slots 1 to 6. Another slot number answers 0 and "empty" and
    // logs one line. Lua "game_save_time" and "game_save_part".
    float SaveTime(int i) const;
    std::string SavePart(int i) const;
    // Fills the summary of slot i (1 to 6) when the save games are read; another slot
    // number is logged and ignored.
    void SetSaveSlot(int i, float time, const std::string& part);

    // Save games.

    // Lua "game_save": writes the game as it stands into slot 1 to 6 (another number is
    // logged and refused). The file is replaced only once the new one is complete, so a
    // failure to write it (logged) leaves the old file as it was. True when the game was
    // saved; false on any failure, after which the game goes on.
    bool SaveGame(int slot);
    // Lua "game_load": restores the game saved in slot 1 to 6 and returns to its state. A
    // missing file does nothing. Every record is read before anything is reset, the "vars"
    // text in a sandbox that lets it do nothing but build the table; a file that is damaged,
    // too large or too deep (SavePack, xs::IArchive), no save game, or whose vars text does
    // anything else is refused with a log line, and the game stays exactly as it was. True
    // when the game was loaded; false when there was nothing to load or it was refused.
    bool LoadGame(int slot);
    // Lua "game_save_refresh": re-reads the summaries of the six slots.
    void RefreshSaves();
    // The "game" record: the "inventory" element, "vars", the "map" element, "time" and
    // "control".
    void SaveXml(xs::OArchive& archive);
    void LoadXml(xs::IArchive& archive);
    // Opens the root element "game" (missing: xs::exception) and reads the record.
    void LoadXmlRoot(xs::IArchive& archive);

private:
    // The "data" document of the game as it stands (runs the script variables' dump within
    // the sandbox's bounds); none when it could not be made, logged as a failure to write
    // the save at `path`.
    std::optional<std::string> SaveData(const std::string& path);
    // The "data" document with the vars text as last saved or loaded, for taking the game
    // back after a load that failed part-way.
    std::optional<std::string> Snapshot();
    // Restarts every state, reads the checked document over the game and makes the table at
    // stack index `vars` the global `vars`.
    void ApplySaveData(const std::string& text, int vars);
    // Reads a snapshot back over the game without restarting any state, and makes the table
    // at stack index `vars` the global `vars` again.
    void Restore(const std::string& snapshot, int vars);
    // The slot record of slot i, or null (logged) when i is not 1 to 6.
    SaveSlot* Slot(int i, const char* function);
    const SaveSlot* Slot(int i, const char* function) const;
    // Milliseconds since construction, exactly (64-bit).
    std::uint64_t ElapsedTicks() const;

public:
    // Members in construction order, destroyed in reverse.
    Idle idle_;
    Cursor cursor_;
    Inventory inventory_;
    Map map_;
    Sound::Manager sound_;
    TexMgr texMgr_;

private:
    std::mt19937 random_;

public:
    float exposure_ = 0.0f; // written by transitions, read by the final pass
    float cachet_ = 0.0f;   // written by videos and cut-scenes, read by the final pass
    float haltUntil_ = 0.0f;

private:
    AnimatedValue<Easing::Linear> hdr_;
    SmoothValue sky_;

public:
    bool mask_ = false;
    lua::State lua_;
    std::string info_;
    std::string subtitle_;
    std::string varsText_; // "vars = {...}" last saved or loaded

private:
    Environment environment_;
    std::uint64_t startTick_;

    // The game clock, shared with the preload worker: every field under clockMutex_.
    mutable std::mutex clockMutex_;
    float playTime_ = 0.0f;
    float clockBase_ = 0.0f;
    float resumeTime_ = 0.0f;
    bool clockRunning_ = false;

    float skySpeed_ = 0.00001f;
    bool control_ = false;
    std::array<SaveSlot, kSaveSlots> saves_; // slot i at index i - 1
};

// The one game object of the process; null outside its life.
extern Game* g_game;

// The game object; only valid while it exists.
Game& game();
