#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace xs {

// One named value of a record: the value, its name and, for a scalar, an optional default.
// A scalar equal to its default is not written, and one missing on reading takes the
// default. The kind of the pair follows from the value's type: std::string, float and bool
// are attributes; std::vector<std::string> is a run of child elements holding the entries as
// their text; any other type is a compound, a child element into which the value writes its
// own record (its SaveXml and LoadXml).
template <typename T>
struct nvp {
    nvp(std::string name, T& value) : value_(&value), name_(std::move(name)) {}
    nvp(std::string name, T& value, const T& defaultValue)
        : value_(&value), name_(std::move(name)), default_(defaultValue) {}

    T* value_;
    std::string name_;
    std::optional<T> default_;
};

// A map written as one child element per entry, named by the pair's name, in key order. The
// element holds the key as the attribute named key_, then the entry's own record: the
// SaveState and LoadState of the object a shared pointer entry points to, or the SaveXml and
// LoadXml of an entry held by value. Unless skipTransitions is false, keys that begin with
// "t_" are not written (transition states and their flash screens are named "t_..." and
// never saved), while a state named "tower" keeps its record; maps of controls pass false.
template <typename V>
struct map_nvp {
    map_nvp(std::string name, std::map<std::string, V>& value, std::string key,
            bool skipTransitions = true)
        : value_(&value), name_(std::move(name)), key_(std::move(key)),
          skipTransitions_(skipTransitions) {}

    std::map<std::string, V>* value_;
    std::string name_;
    std::string key_;
    bool skipTransitions_;
};

} // namespace xs
