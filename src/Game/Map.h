#pragma once

#include "Game/MapPart.h"
#include "Game/XmlDom.h"
#include "Sound/SoundDef.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace State {
class Base;
}

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
    // The state of that name, or none (logged).
    std::shared_ptr<State::Base> GetState(const std::string& name) const;
    std::shared_ptr<State::Base> CurrentState() const;
    // The current state's effect, or the part's when the state names none.
    std::string CurrentEffect() const;
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
    // The preload's ready flag and step counters join here with part loading.
    std::string autoload_;
    // States replaced by a later definition of their name, kept alive for whatever still
    // points at them.
    std::vector<std::shared_ptr<State::Base>> retired_;
};
