#include "Game/Log.h"

#include "Game/Opts.h"

#include <iostream>

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

void LogWrite(const std::string& text) {
    Log::Instance().Write(text);
}
