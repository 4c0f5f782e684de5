#pragma once

#include "Game/XmlDom.h"
#include "States/Controls/BaseImpl.h"
#include "States/ScopedBinding.h"

#include <string>
#include <utility>
#include <vector>

namespace test {

// One sequence of what happened: the control operations of probes and the lines scripts
// write with the Lua function `note`.
struct Journal {
    void Note(std::string line) { lines_.push_back(std::move(line)); }
    std::vector<std::string> Take() { return std::exchange(lines_, {}); }

    std::vector<std::string> lines_;
};

// A control kind that notes its operations in a journal and binds one Lua function, `who`,
// which answers the control's tag.
class ControlProbe : public State::Control::FlatControl {
public:
    ControlProbe() = default;
    ControlProbe(Journal* journal, std::string tag) : journal_(journal), tag_(std::move(tag)) {}

    std::string GetContext() override { return context_; }
    void Render() override { Note("Render"); }
    void Click() override { Note("Click"); }
    void Load(const XmlDom::Element& element) override {
        Note("Load");
        context_ = XmlDom::Attr(element, "context", "");
    }
    void Start() override { Note("Start"); }
    void Stop() override { Note("Stop"); }
    void Reset() override { Note("Reset"); }
    void Bind(State::ScopedBinding& scope) override {
        Note("Bind " + tag_);
        scope.Bind("who", this, &ControlProbe::Who);
    }
    void Unbind() noexcept override { Note("Unbind " + tag_); }

    std::string Who() { return tag_; }

    std::string context_;

private:
    void Note(const std::string& line) {
        if (journal_ != nullptr) {
            journal_->Note(line);
        }
    }

    Journal* journal_ = nullptr;
    std::string tag_;
};

// The first element `tag` under the root of a document made of `content`.
inline XmlDom::Element ElementOf(const std::string& content, const std::string& tag) {
    return XmlDom::Child(
        XmlDom::Root(XmlDom::LoadString("<korvantine>" + content + "</korvantine>")), tag);
}

} // namespace test
