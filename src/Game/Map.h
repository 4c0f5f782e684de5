#pragma once

#include "Game/MapPart.h"
#include "Game/PreloadProgress.h"
#include "Game/PreloadTarget.h"
#include "Game/XmlDom.h"
#include "Include/cg/Cp.h"
#include "Sound/SoundDef.h"

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

namespace State {
class Base;
class Screen;
class Transition;
} // namespace State

// The game definition at run time: the parts (chapters) with their sounds, loading screen,
// start state and effect, the registry of every named state (one namespace for all parts,
// transitions and flash screens included), and the state machine of the game.
class Map {
public:
    using States = std::map<std::string, std::shared_ptr<State::Base>>;
    using Part = MapPart;
    using Parts = std::map<std::string, Part>;
    using Resource = MapResource;

    Map() = default;
    // Cancels and joins a running preload.
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Reads the definition's `map` element: its parts, their sounds, music and textures,
    // and every state of every kind.
    void Load(const XmlDom::Element& map);
    // A `sound` element: "src" and the flags pan, reverb, stream and loop, each set unless
    // its text is exactly "no".
    static SoundDef ReadSoundDef(const XmlDom::Element& sound);

    // The part of that name, or null (logged).
    Part* GetPart(const std::string& name);
    // The state of that name, or none (logged, with the script's place and line when a script
    // asked).
    std::shared_ptr<State::Base> GetState(const std::string& name) const;
    std::shared_ptr<State::Base> CurrentState() const;
    // The current state's effect, or the part's when the state names none.
    std::string CurrentEffect() const;
    // The state switch (Lua "move"): switches to the named state at once. A move between
    // two ordinary states goes through the transition "t_" + current + "_" + name, made on
    // the spot when the definition has none. An unknown name is logged and changes
    // nothing. A move asked for while a switch is running (by a script the switch fires)
    // is queued and carried out, in order, when the outer switch returns; at most
    // kMaxQueuedMoves per outer switch, further ones are logged and dropped.
    void SetState(std::string name);
    static constexpr int kMaxQueuedMoves = 64;
    // The default transition between two states (500 ms out, 500 ms in, through black),
    // registered under "t_" + from + "_" + to.
    std::shared_ptr<State::Transition> CreateTransition(const std::string& from,
                                                        const std::string& to);
    // A plain screen showing one picture (a transition's flash screen), registered under
    // the name.
    std::shared_ptr<State::Screen> CreateScreen(const std::string& name,
                                                const std::string& picture);
    // Lua "game_end": forgets the last state, stops the game clock and moves.
    void End(std::string name);
    // Lua "game_menu": remembers the current state (a transition's target while one runs),
    // stops the game clock and moves to the menu state.
    void Menu();
    // Lua "game_return": back to the remembered state, and the game clock runs again.
    void Return();
    // A new or loaded game: every state restarts (Reset, "init", "reset"), in name order.
    void Reset();
    // The "map" record of a save game: "last", "part", then one "state" element per state
    // in name order, transitions (names beginning with "t_") left out. Reading hands each
    // element to the state of its name; names the definition no longer has are skipped.
    void SaveXml(xs::OArchive& archive);
    void LoadXml(xs::IArchive& archive);
    // Lua "game_started": whether a game is under way (a last state is remembered).
    bool IsStarted();
    // Lua "game_progress": the preload's steps done out of its steps to do.
    float GetProgress();
    // Logs a ready `transition` element from the state left last to the current one, with
    // the panorama view as its "pos" (an authoring aid).
    void DumpTransition(cg::cp<float> view);
    // The frame's last stage: after a preload, the pending move.
    void Update();
    // Answers the ready flag and clears it.
    bool TakeLoadedFlag();
    // The preload's end: the move to `next` waits for the frame's last stage. Any thread.
    void SetMovePending(const std::string& next);

    const std::string& Current() const { return current_; }
    const std::string& Last() const { return last_; }
    const std::string& Previous() const { return previous_; }

    // Part loading (MapPreload.cpp).

    // Switches to a part: queues its resources, remembers its start state and moves to its
    // loading state, whose activation starts the preload. A part loaded already moves
    // straight to its start state. keep: load without making it the game's part (the
    // autoload part at start-up).
    void LoadPart(const std::string& name, bool keep);
    // Lua "part_load".
    void LoadPartByName(std::string name) { LoadPart(name, false); }
    // Starts the preload of what is queued: on the worker thread, or at once with
    // `nomultithread`. While a worker runs, it is asked to run once more instead.
    void StartPreload();
    // The worker's body: stops the game clock, releases the textures of the parts left,
    // loads the queued parts' textures (not with `noload`) and sounds, counting each step,
    // then raises the ready flag. A cancel ends it between two resources.
    void Preload();
    // The worker thread's entry: Preload, with every error logged.
    static unsigned PreloadThread(void* map);
    // The steps Preload counts for these parts: their sounds, and their resources unless
    // `noload` is set.
    int CountResources(const std::vector<std::string>& names);
    void ResetDone() { progress_.ResetDone(); }
    // Cancels a running preload and waits for its thread; the map's owner calls it before
    // anything the worker uses is torn down.
    void JoinPreload();
    // Where the preload loads and releases resources; none: the steps are only counted.
    void SetPreloadTarget(PreloadTarget* target) { preloadTarget_ = target; }
    // How the preload starts its decoding threads; none: as std::thread does.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    void SetDecodeThreadStarter(ThreadStarter start) { decodeThreadStarter_ = std::move(start); }
    // The state moved to after the preload.
    const std::string& Next() const { return next_; }
    // The part of the game under way.
    std::string PartName() const;
    // Whether the preload worker is running (never with `nomultithread`).
    bool Preloading() const;

    // Registers a state under a name. A state already registered under it is replaced for
    // every lookup but kept alive until the map dies, since transitions and cut-scenes may
    // still point at it; the replacement is logged.
    void StoreState(const std::string& name, std::shared_ptr<State::Base> state);

    // The state factories, in the order Load runs them for every part: each makes, loads
    // and registers one state per child `element` of the part element and adds the
    // textures the states need to the part record.
    void CreatePanoStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateScreenStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateMenuStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateMenuPanoStates(const XmlDom::Element& part, Part& record,
                              const std::string& element);
    void CreateCutStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateVideoStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateLoadingStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreatePageStates(const XmlDom::Element& part, Part& record, const std::string& element);
    void CreateTransitionStates(const XmlDom::Element& part, Part& record,
                                const std::string& element);

    const States& GetStates() const { return states_; }
    const Parts& GetParts() const { return parts_; }
    // The part loaded at start-up without becoming the game's part ("autoload").
    const std::string& AutoloadPart() const { return autoload_; }
    // The menu state ("menu").
    const std::string& MenuState() const { return menu_; }

private:
    // One pass of the preload over the lists as they stand; false when cancelled.
    bool PreloadOnce();
    // The part of that name for the worker, or null (logged).
    const Part* FindPart(const std::string& name);
    // A path that any state uses other than as a background loses the mark everywhere.
    void KeepBackgroundsOnlyWhereEveryUseIs();
    // One switch, with nested moves queued.
    void Switch(std::string name);

    // One `part` element: its record, sounds, music, textures and states.
    void LoadPartElement(const XmlDom::Element& element);
    template <typename T>
    void CreateStates(const XmlDom::Element& part, Part& record, const std::string& element);

    States states_;
    Parts parts_;
    std::vector<std::string> toLoad_;
    std::vector<std::string> toUnload_;
    std::string loaded_;
    std::string part_;
    std::string current_;
    std::string menu_;
    std::string last_;
    std::string previous_;
    std::string next_;
    std::string partEffect_;
    // The preload's pending move and progress, shared with the worker.
    std::atomic<bool> ready_{false};
    PreloadProgress progress_;
    std::string autoload_;
    // The preload worker. toLoad_, toUnload_ and part_ are handed to it under loadMutex_,
    // with the flags that keep it to one worker at a time.
    std::thread preload_;
    mutable std::mutex loadMutex_;
    bool preloading_ = false; // a worker is between its start and its last pass
    bool again_ = false;      // a loading screen was activated while it ran
    std::atomic<bool> cancel_{false};
    PreloadTarget* preloadTarget_ = nullptr;
    ThreadStarter decodeThreadStarter_;
    // A switch is running; moves asked for meanwhile wait in queued_.
    bool switching_ = false;
    std::deque<std::string> queued_;
    int queuedMoves_ = 0; // moves queued since the outer switch began
    // The state the running switch makes current (current_ changes only at its end).
    std::string switchTarget_;
    // States replaced by a later definition of their name, kept alive for whatever still
    // points at them.
    std::vector<std::shared_ptr<State::Base>> retired_;
};

// The preload worker's body for the map given (Map::Preload).
void Preload(void* map);
