#pragma once

#include "States/Base.h"

#include <string>

namespace State {

// A flat scene: a picture with controls, the border and the keys.
class Screen : public Base {
public:
    Screen() = default;
    // A plain screen named `name` that shows one picture full screen, takes no input and
    // shows neither cursor nor inventory: a transition's flash screen.
    Screen(const std::string& name, std::string picture)
        : picture_(std::move(picture)), plain_(true) {
        name_ = name;
    }

    bool ShowCursor() override { return !plain_ && Base::ShowCursor(); }
    bool ShowInventory() override { return !plain_ && Base::ShowInventory(); }

    const std::string& Picture() const { return picture_; }

protected:
    std::string picture_;
    // Made with a picture only: no controls, no input, no cursor, no inventory.
    bool plain_ = false;
};

} // namespace State
