#include "States/InputRecord.h"

#include "Game/Opts.h"

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

} // namespace State
