#include "Game/Log.h"

#include "Game/Opts.h"

#include <iostream>
#include <utility>

namespace {

// The hold that keeps this thread's lines, if any.
thread_local LogHold* t_hold = nullptr;

} // namespace

Log& Log::Instance() {
    static Log log(g_opts != nullptr ? g_opts->logPath_ : std::string());
    return log;
}

Log::Log(const std::string& path) {
    if (path.empty()) {
        return;
    }
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file_.is_open()) {
        std::cerr << "Cannot open log file '" << path << "'; logging to memory only\n";
    }
}

void Log::Write(const std::string& line) {
    // One lock over the file write and the kept lines, so lines from the user-interface
    // thread and the preload worker never interleave.
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_.is_open()) {
        file_ << line << '\n';
        file_.flush();
    }
    lines_.push_back(line);
    if (lines_.size() > kKeptLines) {
        lines_.pop_front();
    }
}

std::string Log::Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i != 0) {
            text += '\n';
        }
        text += lines_[i];
    }
    return text;
}

LogHold::LogHold() : outer_(t_hold) {
    t_hold = this;
}

LogHold::~LogHold() {
    t_hold = outer_;
}

std::vector<std::string> LogHold::Take() {
    return std::exchange(lines_, {});
}

void LogWrite(const std::string& text) {
    if (t_hold != nullptr) {
        t_hold->lines_.push_back(text);
        return;
    }
    Log::Instance().Write(text);
}

std::string LogValue(const std::string& value) {
    if (value.size() <= kLogValueLength) {
        return value;
    }
    std::size_t end = kLogValueLength;
    for (int i = 0; i < 3 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80; ++i) {
        --end;
    }
    return value.substr(0, end) + "...[" + std::to_string(value.size()) + " bytes, cut]";
}
