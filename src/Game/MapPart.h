#pragma once

#include "Sound/SoundDef.h"

#include <map>
#include <string>
#include <vector>

// A texture that a part's states need: kind 1 a 2-D texture by path, kind 2 a cube map by
// name; other kinds are counted by the preload but load nothing.
struct MapResource {
    static constexpr int kSimple = 1;
    static constexpr int kPano = 2;

    std::string name_;
    int kind_ = 0;
    // Kind 1 only: every state of the game that names this path draws it as a background over
    // the whole frame, so the texture may keep only the rows the frame shows.
    bool background_ = false;
};

// Collapses runs of neighbouring entries of one name into their first entry; the kind is not
// compared and the list is not sorted, so equal names apart from each other stay. The entry
// kept is a background only when every entry of the run was.
void CollapseNeighbours(std::vector<MapResource>& resources);

// One part of the game (a chapter): its sounds keyed by source path, the textures its
// states need in the order they reported them, its loading-screen and start states and
// the default effect of its states.
struct MapPart {
    std::map<std::string, SoundDef> sounds_;
    std::vector<MapResource> resources_;
    std::string load_;
    std::string start_;
    std::string effect_;
};
