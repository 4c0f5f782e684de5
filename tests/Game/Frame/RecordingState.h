#pragma once

#include "States/Base.h"

#include <functional>
#include <vector>

namespace test {

// A scene state that keeps every input batch it receives, and can run an action after a
// batch (a click that switches states, say).
class RecordingState : public State::Base {
public:
    struct Batch {
        bool keyboard;
        std::vector<State::InputRecord> records;
    };

    void Input(const State::InputRecord* records, int count, bool keyboard) override {
        batches_.push_back({keyboard, {records, records + count}});
        if (afterBatch_) {
            afterBatch_();
        }
    }

    // Every record received from one device, in order, over all batches.
    std::vector<State::InputRecord> Records(bool keyboard) const {
        std::vector<State::InputRecord> all;
        for (const Batch& batch : batches_) {
            if (batch.keyboard == keyboard) {
                all.insert(all.end(), batch.records.begin(), batch.records.end());
            }
        }
        return all;
    }

    std::vector<Batch> batches_;
    std::function<void()> afterBatch_;
};

} // namespace test
