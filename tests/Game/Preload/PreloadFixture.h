#pragma once

#include "Game/Exception.h"
#include "Game/Map.h"
#include "Game/PreloadTarget.h"
#include "Game/XmlDom.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace test {

// A preload target that records what the preload asks of it, with the map's progress at
// each step; it can be slowed down and made to fail for chosen names. Safe to use from the
// worker's threads. Texture loads run on several threads at once, so their calls are recorded
// in the order they start.
class RecordingTarget : public PreloadTarget {
public:
    explicit RecordingTarget(Map* map = nullptr) : map_(map) {}

    void LoadTexture(const MapResource& resource) override {
        Step("load " + resource.name_, resource.name_, false);
    }
    void ReleaseTexture(const MapResource& resource) override {
        Step("release " + resource.name_, resource.name_, true);
    }
    void EvictManagedResources() override { Step("evict", evictFailure_ ? "evict" : "", true); }
    void LoadSound(const SoundDef& sound) override {
        Step("sound " + sound.src_, sound.src_, true);
    }

    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    std::vector<float> Progress() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return progress_;
    }
    // The most steps of the worker's own (releases, eviction, sounds) in progress at once.
    int MostAtOnce() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return mostAtOnce_;
    }

    std::set<std::string> failing_;
    bool evictFailure_ = false;
    std::chrono::microseconds delay_{0};
    // While set, every step waits once it is recorded.
    std::atomic<bool> hold_{false};

private:
    void Step(const std::string& call, const std::string& name, bool workerStep) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (workerStep) {
                mostAtOnce_ = std::max(mostAtOnce_, ++inside_);
            }
            calls_.push_back(call);
            progress_.push_back(map_ != nullptr ? map_->GetProgress() : 0.0f);
        }
        while (hold_) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        if (delay_.count() > 0) {
            std::this_thread::sleep_for(delay_);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (workerStep) {
            --inside_;
        }
        if (name == "evict" || failing_.count(name) != 0) {
            throw exception("Cannot open '" + name + "'");
        }
    }

    Map* map_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<float> progress_;
    int inside_ = 0;
    int mostAtOnce_ = 0;
};

// A part whose loading and start states are `load` and `start`; screens named in `screens`
// show "<name>.png"; `sounds` are the part's sound sources.
inline std::string PreloadPart(const std::string& name, const std::string& load,
                               const std::string& start, const std::vector<std::string>& screens,
                               const std::vector<std::string>& sounds) {
    std::string xml = "<part name=\"" + name + "\" start=\"" + start + "\" load=\"" + load +
                      "\" effect=\"fx_" + name + "\"><sounds>";
    for (const std::string& sound : sounds) {
        xml += "<sound src=\"" + sound + "\"/>";
    }
    xml += "</sounds><textures/>";
    for (const std::string& screen : screens) {
        xml += "<screen name=\"" + screen + "\" src=\"" + screen + ".png\"/>";
    }
    return xml + "</part>";
}

inline XmlDom::Element PreloadMap(const std::string& autoload, const std::string& parts) {
    return XmlDom::Child(
        XmlDom::Root(XmlDom::LoadString("<korvantine><map autoload=\"" + autoload +
                                        "\" menu=\"menu\">" + parts + "</map></korvantine>")),
        "map");
}

} // namespace test
