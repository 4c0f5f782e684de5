#include "Game/Map.h"
#include "Include/common/XmlSer.h"
#include "States/Base.h"

void Map::SaveXml(xs::OArchive& archive) {
    std::string part = PartName();
    archive& xs::nvp("last", last_) & xs::nvp("part", part) & xs::map_nvp("state", states_, "name");
}

void Map::LoadXml(xs::IArchive& archive) {
    std::string last;
    std::string part;
    archive& xs::nvp("last", last) & xs::nvp("part", part);
    last_ = last;
    {
        std::lock_guard<std::mutex> lock(loadMutex_);
        part_ = part;
    }
    archive& xs::map_nvp("state", states_, "name");
}
