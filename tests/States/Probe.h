#pragma once

#include "States/Base.h"

#include <string>
#include <utility>
#include <vector>

namespace test {

// A state kind that notes which of its virtual operations ran.
class Probe : public State::Base {
public:
    void Prepare() override { calls_.push_back("Prepare"); }
    void Start() override { calls_.push_back("Start"); }
    void Stop() override { calls_.push_back("Stop"); }
    void Reset() override { calls_.push_back("Reset"); }
    void Render() override { calls_.push_back("Render"); }
    bool Activate() override {
        calls_.push_back("Activate");
        return activates_;
    }
    void Deactivate() override { calls_.push_back("Deactivate"); }
    void Input(const State::InputRecord*, int count, bool keyboard) override {
        calls_.push_back(std::string(keyboard ? "Keys " : "Mouse ") + std::to_string(count));
    }
    void CancelPress() override { calls_.push_back("CancelPress"); }
    void Load(const XmlDom::Element&) override { calls_.push_back("Load"); }

    std::vector<std::string> TakeCalls() { return std::exchange(calls_, {}); }

    bool activates_ = true;

private:
    std::vector<std::string> calls_;
};

} // namespace test
