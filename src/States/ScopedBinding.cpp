#include "States/ScopedBinding.h"

namespace State {

ScopedBinding::~ScopedBinding() {
    for (auto entry = earlier_.rbegin(); entry != earlier_.rend(); ++entry) {
        lua_.Unregister(entry->first);
        if (entry->second) {
            lua_.Publish(entry->first, entry->second);
        }
    }
}

} // namespace State
