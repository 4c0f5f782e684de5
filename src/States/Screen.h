#pragma once

#include "States/Base.h"

#include <cstdint>
#include <string>

namespace State {

// A flat scene: one full-screen picture with controls on it, driven by the cursor; a click
// in the 5 % border moves to the "exit" state. Menus, loading screens and pages are screens
// too, and a transition's flash screen is a bare screen that shows a picture and takes no
// input.
class Screen : public Base {
public:
    // Flag bits.
    static constexpr std::uint32_t kNoInput = 1;
    static constexpr std::uint32_t kNoCursor = 2;
    static constexpr std::uint32_t kNoInventory = 4;

    Screen() = default;
    // A flash screen: the picture full screen, no input, no cursor, no inventory.
    explicit Screen(std::string picture) : background_(std::move(picture)), flags_(255) {}

    // "exit", "exitcontext", "src", then the controls.
    void Load(const XmlDom::Element& element) override;
    bool ShowCursor() override { return (flags_ & kNoCursor) == 0; }
    bool ShowInventory() override { return (flags_ & kNoInventory) == 0; }
    // The background picture, as a 2-D texture.
    void CollectResources(std::vector<MapResource>& list, MapPart& part) override;
    // A click in the border: moves to the exit state, then fires "exit".
    virtual void Exit();

    const std::string& Picture() const { return background_; }
    const std::string& ExitState() const { return exit_; }
    const std::string& ExitContext() const { return exitContext_; }
    std::uint32_t Flags() const { return flags_; }

protected:
    std::string exit_;
    std::string exitContext_;
    std::string background_;
    std::uint32_t flags_ = 0;
};

} // namespace State
