#include "States/ScopedBinding.h"

#include "Game/Log.h"

namespace State {

ScopedBinding::~ScopedBinding() {
    for (auto entry = earlier_.rbegin(); entry != earlier_.rend(); ++entry) {
        // A destructor may not throw (it also runs while a script's error unwinds): a
        // globals table that refuses the assignment is reported in the log instead.
        try {
            lua_.Unregister(entry->first);
            if (entry->second) {
                lua_.Publish(entry->first, entry->second);
            }
        } catch (const lua::exception& e) {
            LogWrite(e.Text());
        }
    }
}

} // namespace State
