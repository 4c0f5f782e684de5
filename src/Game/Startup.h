#pragma once

#include "Game/Opts.h"

#include <functional>
#include <string>
#include <vector>

// Holds one process-wide object for the length of a scope: creates it when its global
// pointer is null, deletes it and nulls the pointer when the scope ends, so an error
// unwinding out of the start-up destroys exactly what was created, in reverse order.
template <typename T>
class ScopedGlobal {
public:
    ScopedGlobal(T*& global, const std::function<T*()>& create) : global_(global) {
        if (global_ == nullptr) {
            global_ = create();
        }
    }
    explicit ScopedGlobal(T*& global) : ScopedGlobal(global, [] { return new T; }) {}
    ~ScopedGlobal() {
        if (global_ != nullptr) {
            delete global_;
            global_ = nullptr;
        }
    }
    ScopedGlobal(const ScopedGlobal&) = delete;
    ScopedGlobal& operator=(const ScopedGlobal&) = delete;

private:
    T*& global_;
};

// Runs the protected block of the start-up routine and answers its exit code. An error
// leaving the block is caught here and its text stored in `error`: the program's
// `exception` (its text), a Lua error (its text), anything else ("Unspecified error").
// A run ended by an error answers 1.
int RunProtected(const std::function<int()>& block, std::string& error);

// The log lines that report the sound placement choices, buffer first, then mixing.
std::vector<std::string> PlacementLines(const Opts::Data& data);
