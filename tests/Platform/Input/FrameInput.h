#pragma once

#include "Platform/Input/Device.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <vector>

namespace test {

// What the game's per-frame input step takes from a device: batch after batch until one is
// short; when a read fails, one acquire attempt and nothing for this frame.
inline std::optional<std::vector<Input::Record>> FrameRecords(Input::Device& device) {
    std::vector<Input::Record> records;
    for (;;) {
        std::vector<Input::Record> batch(Input::BatchSize);
        std::uint32_t count = Input::BatchSize;
        if (device.GetDeviceData(batch.data(), &count) != Input::Ok) {
            device.Acquire();
            return std::nullopt;
        }
        records.insert(records.end(), batch.begin(), batch.begin() + count);
        if (count < Input::BatchSize) {
            return records;
        }
    }
}

// Every record buffered on an acquired device (up to 100).
inline std::vector<Input::Record> TakeAll(Input::Device& device) {
    std::vector<Input::Record> records(100);
    std::uint32_t count = 100;
    EXPECT_EQ(device.GetDeviceData(records.data(), &count), Input::Ok);
    records.resize(count);
    return records;
}

// A record's offset and data, the two fields the scenes read.
struct OfsData {
    std::uint32_t ofs;
    std::int32_t data;
    bool operator==(const OfsData&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const OfsData& r) {
    return out << "{" << r.ofs << ", " << r.data << "}";
}

inline std::vector<OfsData> OfsDataOf(const std::vector<Input::Record>& records) {
    std::vector<OfsData> out;
    for (const Input::Record& r : records) {
        out.push_back({r.dwOfs, static_cast<std::int32_t>(r.dwData)});
    }
    return out;
}

} // namespace test
