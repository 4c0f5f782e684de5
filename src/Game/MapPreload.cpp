// Part loading and the preload worker of the Map.

#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Map.h"
#include "Game/Opts.h"
#include "Game/PreloadPool.h"

#include <algorithm>

namespace {

// Removes from the front of `list` the entries a preload pass took, leaving what was
// appended meanwhile for the next pass.
void ErasePrefix(std::vector<std::string>& list, std::size_t count) {
    list.erase(list.begin(),
               list.begin() + static_cast<std::ptrdiff_t>(std::min(count, list.size())));
}

bool IsTexture(const MapResource& resource) {
    return resource.kind_ == MapResource::kSimple || resource.kind_ == MapResource::kPano;
}

} // namespace

void Preload(void* map) {
    static_cast<Map*>(map)->Preload();
}

Map::~Map() {
    JoinPreload();
}

std::string Map::PartName() const {
    std::lock_guard<std::mutex> lock(loadMutex_);
    return part_;
}

bool Map::Preloading() const {
    std::lock_guard<std::mutex> lock(loadMutex_);
    return preloading_;
}

void Map::LoadPart(const std::string& name, bool keep) {
    const Part* record = GetPart(name);
    if (record == nullptr) {
        LogWrite("Part not found");
        return;
    }
    if (record->load_.empty()) {
        LogWrite("Part loading screen is empty");
        return;
    }
    if (record->start_.empty()) {
        LogWrite("Part start screen is empty");
        return;
    }
    if (loaded_ == name) {
        SetState(record->start_);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        if (!loaded_.empty()) {
            toUnload_.push_back(loaded_);
        }
        if (!keep) {
            part_ = name;
            loaded_ = name;
        }
        toLoad_.push_back(name);
        // A move still pending from an earlier preload is superseded by this load. Cleared
        // under the lock that the worker raises the flag under, so a pass that has already
        // decided to raise it cannot raise it after this load was queued.
        ready_ = false;
    }
    progress_.ResetDone();
    next_ = record->start_;
    SetState(record->load_);
}

void Map::StartPreload() {
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        if (!toLoad_.empty()) {
            const auto found = parts_.find(toLoad_.front());
            if (found != parts_.end()) {
                partEffect_ = found->second.effect_;
            }
        }
    }
    if (opts().nomultithread_) {
        PreloadThread(this);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        if (preloading_) {
            // One worker at a time: the running one takes another pass when it is done, if
            // anything is queued that its pass did not take. When its pass took everything,
            // that pass raises the flag; another pass would raise it a second time and move
            // the game to the start screen twice.
            if (!toLoad_.empty() || !toUnload_.empty()) {
                again_ = true;
            }
            return;
        }
        preloading_ = true;
    }
    // The previous worker has finished its last pass; collect its thread.
    if (preload_.joinable()) {
        preload_.join();
    }
    preload_ = std::thread(&Map::PreloadThread, this);
}

unsigned Map::PreloadThread(void* map) {
    Map& self = *static_cast<Map*>(map);
    for (;;) {
        try {
            ::Preload(map);
        } catch (const exception& e) {
            LogWrite(e.what());
        } catch (...) {
            LogWrite("Unspecified error");
        }
        // Deciding to take another pass and leaving are one step under the lock, so an
        // activation that comes meanwhile either finds this worker running or starts one.
        std::lock_guard<std::mutex> lock(self.loadMutex_);
        if (!self.again_ || self.cancel_) {
            self.again_ = false;
            self.preloading_ = false;
            return 0;
        }
        self.again_ = false;
    }
}

void Map::Preload() {
    PreloadOnce();
}

bool Map::PreloadOnce() {
    game().SetClockRunning(false);
    const bool noload = opts().noload_;
    std::vector<std::string> toLoad;
    std::vector<std::string> toUnload;
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        toLoad = toLoad_;
        toUnload = toUnload_;
    }
    progress_.Begin(CountResources(toLoad));

    for (const std::string& name : toUnload) {
        const Part* record = FindPart(name);
        if (record == nullptr || noload) {
            continue;
        }
        for (const Resource& resource : record->resources_) {
            if (cancel_) {
                return false;
            }
            if (preloadTarget_ != nullptr && IsTexture(resource)) {
                preloadTarget_->ReleaseTexture(resource);
            }
        }
    }
    if (preloadTarget_ != nullptr) {
        preloadTarget_->EvictManagedResources();
    }

    // The parts' textures are read and decoded on the pool, in list order across the parts,
    // while this thread takes each back in that order and counts its step; sounds load here.
    std::vector<const Part*> records;
    for (const std::string& name : toLoad) {
        if (const Part* record = FindPart(name)) {
            records.push_back(record);
        }
    }
    PreloadPool pool(opts().nomultithread_ ? 0 : PreloadPool::DefaultThreads(),
                     decodeThreadStarter_ ? decodeThreadStarter_
                                          : PreloadPool::Starter(PreloadPool::StartThread));
    PreloadTarget* const target = noload ? nullptr : preloadTarget_;
    for (const Part* record : records) {
        for (const Resource& resource : record->resources_) {
            if (target != nullptr && IsTexture(resource)) {
                pool.Queue([target, &resource] { target->LoadTexture(resource); });
            }
        }
    }
    for (const Part* record : records) {
        if (!noload) {
            for (const Resource& resource : record->resources_) {
                if (cancel_) {
                    return false;
                }
                try {
                    if (target != nullptr && IsTexture(resource)) {
                        pool.Finish();
                    }
                } catch (const std::exception& e) {
                    // One bad picture must not keep the game on the loading screen.
                    LogFormat("Failed to load texture '%1%': %2%", resource.name_, e.what());
                }
                progress_.Step();
            }
        }
        // The sounds in key order, with the worker's own place in them.
        for (const auto& [src, sound] : record->sounds_) {
            if (cancel_) {
                return false;
            }
            try {
                if (preloadTarget_ != nullptr) {
                    preloadTarget_->LoadSound(sound);
                }
            } catch (const std::exception& e) {
                LogFormat("Failed to load sound '%1%': %2%", src, e.what());
            }
            progress_.Step();
        }
    }

    bool partUnderWay = false;
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        ErasePrefix(toLoad_, toLoad.size());
        ErasePrefix(toUnload_, toUnload.size());
        partUnderWay = !part_.empty();
        if ((again_ && !cancel_) || !toLoad_.empty()) {
            // A part was queued meanwhile: the move waits for the pass that loads it.
            return true;
        }
        // Published after every other write of the pass, and under the lock, so a part
        // queued after the check above clears it rather than being overtaken by it; the
        // frame's "Map" stage takes it.
        ready_.store(true, std::memory_order_release);
    }
    if (partUnderWay) {
        game().SetClockRunning(true);
    }
    return true;
}

const Map::Part* Map::FindPart(const std::string& name) {
    // The part records are built before any preload and never change afterwards.
    return GetPart(name);
}

int Map::CountResources(const std::vector<std::string>& names) {
    const bool noload = opts().noload_;
    int count = 0;
    for (const std::string& name : names) {
        if (const Part* record = FindPart(name)) {
            count += static_cast<int>(record->sounds_.size());
            if (!noload) {
                count += static_cast<int>(record->resources_.size());
            }
        }
    }
    return count;
}

void Map::JoinPreload() {
    cancel_ = true;
    if (preload_.joinable()) {
        preload_.join();
    }
    cancel_ = false;
}
