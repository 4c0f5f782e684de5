#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Platform {

// Handlers called in registration order. A handler may add or remove handlers (itself
// included) while the list is being walked: a removed one is not called again, not even
// later in the same walk, and one added is called in that walk.
template <typename T>
class HandlerList {
public:
    void Add(T* handler) { items_.push_back(handler); }

    // False when the handler was not registered.
    bool Remove(T* handler) {
        auto it = std::find(items_.begin(), items_.end(), handler);
        if (it == items_.end()) {
            return false;
        }
        if (walking_ > 0) {
            *it = nullptr; // the walk's positions stay valid; Compact removes the hole
        } else {
            items_.erase(it);
        }
        return true;
    }

    template <typename F>
    void ForEach(F call) {
        struct Walk {
            HandlerList& list;
            explicit Walk(HandlerList& l) : list(l) { ++list.walking_; }
            ~Walk() {
                if (--list.walking_ == 0) {
                    std::erase(list.items_, nullptr);
                }
            }
        } walk(*this);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (T* handler = items_[i]) {
                call(*handler);
            }
        }
    }

private:
    std::vector<T*> items_;
    int walking_ = 0;
};

} // namespace Platform
