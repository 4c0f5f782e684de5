#include "Game/Map.h"

#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/TexMgr.h"
#include "Game/Where.h"
#include "States/Cut.h"
#include "States/Loading.h"
#include "States/Menu.h"
#include "States/MenuPano.h"
#include "States/Page.h"
#include "States/Pano.h"
#include "States/Screen.h"
#include "States/Transition.h"
#include "States/Video.h"

#include <set>
#include <utility>

namespace {

// A flag attribute sets its bit unless its text is exactly "no".
unsigned int Flag(const XmlDom::Element& element, const char* name, unsigned int bit) {
    return XmlDom::Attr(element, name, "no") != "no" ? bit : 0u;
}

} // namespace

void CollapseNeighbours(std::vector<MapResource>& resources) {
    std::vector<MapResource> kept;
    for (MapResource& resource : resources) {
        if (!kept.empty() && kept.back().name_ == resource.name_) {
            kept.back().background_ = kept.back().background_ && resource.background_;
        } else {
            kept.push_back(std::move(resource));
        }
    }
    resources = std::move(kept);
}

void Map::Load(const XmlDom::Element& map) {
    autoload_ = XmlDom::RequiredAttr(map, "autoload");
    menu_ = XmlDom::RequiredAttr(map, "menu");

    const XmlDom::Selection parts = XmlDom::SelectNodes(map, "part");
    for (int i = 0; i < parts.Length(); ++i) {
        const XmlDom::Element element = XmlDom::Item(parts, i);
        const std::string name = XmlDom::Attr(element, "name", "");
        Where::Reading(Where::kPart, Where::Named("part", name), [&] { LoadPartElement(element); });
    }
    KeepBackgroundsOnlyWhereEveryUseIs();
    // The autoload part's loading state becomes the first current state; its activation
    // starts the preload.
    LoadPart(autoload_, true);
}

void Map::LoadPartElement(const XmlDom::Element& element) {
    // A repeated part name reuses its record: the names are overwritten, sounds and
    // resources accumulate.
    Part& record = parts_[XmlDom::RequiredAttr(element, "name")];
    record.start_ = XmlDom::RequiredAttr(element, "start");
    record.load_ = XmlDom::RequiredAttr(element, "load");
    record.effect_ = XmlDom::RequiredAttr(element, "effect");

    const XmlDom::Selection sounds = XmlDom::SelectNodes(XmlDom::Child(element, "sounds"), "sound");
    for (int j = 0; j < sounds.Length(); ++j) {
        SoundDef sound = ReadSoundDef(XmlDom::Item(sounds, j));
        if (sound.src_ != "silence") {
            // The first definition of a source path wins, flags included.
            record.sounds_.emplace(sound.src_, std::move(sound));
        }
    }
    // The music tracks are global, kept (and preloaded) by the sound manager.
    const XmlDom::Selection music = XmlDom::SelectNodes(element, "music");
    for (int j = 0; j < music.Length(); ++j) {
        game().sound_.AddMusic(Sound::Music::ReadTrack(XmlDom::Item(music, j)));
    }
    // The texture stripes are global, kept by the texture manager; they are read before
    // the states, whose mapped images list the stripes' frames.
    GetTexMgr().LoadList(XmlDom::Child(element, "textures"));

    CreatePanoStates(element, record, "pano");
    CreateScreenStates(element, record, "screen");
    CreateMenuStates(element, record, "menu");
    CreateMenuPanoStates(element, record, "menupano");
    CreateCutStates(element, record, "cut");
    CreateVideoStates(element, record, "video");
    CreateLoadingStates(element, record, "loading");
    CreatePageStates(element, record, "page");
    CreateTransitionStates(element, record, "transition");

    CollapseNeighbours(record.resources_);
}

void Map::KeepBackgroundsOnlyWhereEveryUseIs() {
    std::set<std::string> otherUse;
    for (const auto& [name, part] : parts_) {
        for (const Resource& resource : part.resources_) {
            if (!resource.background_ || resource.kind_ != Resource::kSimple) {
                otherUse.insert(resource.name_);
            }
        }
    }
    for (auto& [name, part] : parts_) {
        for (Resource& resource : part.resources_) {
            resource.background_ = resource.background_ && otherUse.count(resource.name_) == 0;
        }
    }
}

SoundDef Map::ReadSoundDef(const XmlDom::Element& sound) {
    SoundDef def;
    def.src_ = XmlDom::RequiredAttr(sound, "src");
    def.flags_ |= Flag(sound, "pan", SoundDef::kPan);
    def.flags_ |= Flag(sound, "reverb", SoundDef::kReverb);
    def.flags_ |= Flag(sound, "stream", SoundDef::kStream);
    def.flags_ |= Flag(sound, "loop", SoundDef::kLoop);
    return def;
}

Map::Part* Map::GetPart(const std::string& name) {
    const auto found = parts_.find(name);
    if (found == parts_.end()) {
        LogFormat("Part '%1%' not found", LogValue(name));
        return nullptr;
    }
    return &found->second;
}

std::shared_ptr<State::Base> Map::GetState(const std::string& name) const {
    const auto found = states_.find(name);
    if (found == states_.end()) {
        // A script's move names its place and line, as a refused argument does.
        const std::string line = "Trying to get undefined state '" + LogValue(name) + "'";
        const std::string caller = game().lua_.CallerPlace();
        if (caller.empty()) {
            LogWrite(line);
        } else {
            Where::LuaError(caller + line);
        }
        return nullptr;
    }
    return found->second;
}

std::shared_ptr<State::Base> Map::CurrentState() const {
    return GetState(current_);
}

std::string Map::CurrentEffect() const {
    const std::shared_ptr<State::Base> state = CurrentState();
    std::string effect = state ? state->QueryEffect() : std::string();
    return effect.empty() ? partEffect_ : effect;
}

void Map::StoreState(const std::string& name, std::shared_ptr<State::Base> state) {
    auto [entry, added] = states_.try_emplace(name, state);
    if (!added) {
        retired_.push_back(std::exchange(entry->second, std::move(state)));
        LogFormat("Duplicate state '%1%' replaced", LogValue(name));
    }
}

template <typename T>
void Map::CreateStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    const XmlDom::Selection children = XmlDom::SelectNodes(part, element);
    for (int i = 0; i < children.Length(); ++i) {
        const XmlDom::Element child = XmlDom::Item(children, i);
        const std::string name = XmlDom::Attr(child, "name", "");
        Where::Reading(Where::kState, Where::Named("state", name), [&] {
            const std::shared_ptr<T> state = std::make_shared<T>();
            const std::string partName = XmlDom::RequiredAttr(part, "name");
            state->LoadCommon(child, partName);
            state->CollectResources(record.resources_, record);
            StoreState(state->Name(), state);
        });
    }
}

void Map::CreatePanoStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    CreateStates<State::Pano>(part, record, element);
}

void Map::CreateScreenStates(const XmlDom::Element& part, Part& record,
                             const std::string& element) {
    CreateStates<State::Screen>(part, record, element);
}

void Map::CreateMenuStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    CreateStates<State::Menu>(part, record, element);
}

void Map::CreateMenuPanoStates(const XmlDom::Element& part, Part& record,
                               const std::string& element) {
    CreateStates<State::MenuPano>(part, record, element);
}

void Map::CreateCutStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    CreateStates<State::Cut>(part, record, element);
}

void Map::CreateVideoStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    CreateStates<State::Video>(part, record, element);
}

void Map::CreateLoadingStates(const XmlDom::Element& part, Part& record,
                              const std::string& element) {
    CreateStates<State::Loading>(part, record, element);
}

void Map::CreatePageStates(const XmlDom::Element& part, Part& record, const std::string& element) {
    CreateStates<State::Page>(part, record, element);
}

void Map::CreateTransitionStates(const XmlDom::Element& part, Part& record,
                                 const std::string& element) {
    CreateStates<State::Transition>(part, record, element);
}
