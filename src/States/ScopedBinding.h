#pragma once

#include "Script/State.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace State {

// Publishes an object's functions as Lua globals for the length of one script. Scripts
// nest (a script that calls `move` runs other states' scripts inside itself), so each
// binding remembers what was published under its name before and, when the scope ends,
// also by an exception, withdraws its own function and publishes the earlier one again.
// A name that had no function before is left nil, as after a plain unregister.
class ScopedBinding {
public:
    explicit ScopedBinding(lua::State& lua) : lua_(lua) {}
    ~ScopedBinding();
    ScopedBinding(const ScopedBinding&) = delete;
    ScopedBinding& operator=(const ScopedBinding&) = delete;

    template <typename C, typename M>
    void Bind(const std::string& name, C* object, M member) {
        earlier_.emplace_back(name, lua_.Published(name));
        lua_.Register(name, object, member);
    }

private:
    lua::State& lua_;
    // Each bound name with the function published under it before, in binding order.
    std::vector<std::pair<std::string, std::shared_ptr<lua::proxy>>> earlier_;
};

} // namespace State
