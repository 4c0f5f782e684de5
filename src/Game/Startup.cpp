#include "Game/Startup.h"

#include "Game/Exception.h"
#include "Script/Exception.h"

namespace {

const char* PlacementName(std::int32_t placement) {
    switch (placement) {
    case Opts::kPlacementAuto:
        return "auto";
    case Opts::kPlacementSoft:
        return "soft";
    case Opts::kPlacementHard:
        return "hard";
    default:
        return nullptr;
    }
}

} // namespace

int RunProtected(const std::function<int()>& block, std::string& error) {
    error.clear();
    try {
        return block();
    } catch (const exception& e) {
        error = e.what();
    } catch (const lua::exception& e) {
        error = e.Text();
    } catch (...) {
        error = "Unspecified error";
    }
    return 1;
}

std::vector<std::string> PlacementLines(const Opts::Data& data) {
    std::vector<std::string> lines;
    if (const char* name = PlacementName(data.soundBuffer_)) {
        lines.push_back(std::string("Sound buffer placement: ") + name);
    }
    if (const char* name = PlacementName(data.soundMixer_)) {
        lines.push_back(std::string("Sound mixing: ") + name);
    }
    return lines;
}
