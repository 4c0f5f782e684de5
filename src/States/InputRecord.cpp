#include "States/InputRecord.h"

#include "Game/Game.h"
#include "Game/Opts.h"

#include <string>

namespace State {

int CountSkipReleases(const InputRecord* records, int count, bool keyboard) {
    const std::uint32_t secondary = opts().mouseLeftHanded_ ? kMouseButton0 : kMouseButton1;
    const std::uint32_t skip = keyboard ? kKeyEscape : secondary;
    int releases = 0;
    for (int i = 0; i < count; ++i) {
        if (records[i].dwOfs == skip && (records[i].dwData & kPressedBit) == 0) {
            ++releases;
        }
    }
    return releases;
}

void SkipOnEachRelease(const InputRecord* records, int count, bool keyboard,
                       const std::function<void()>& exit) {
    const std::string shown = game().map_.Current();
    for (int n = CountSkipReleases(records, count, keyboard);
         n > 0 && game().map_.Current() == shown; --n) {
        exit();
    }
}

} // namespace State
