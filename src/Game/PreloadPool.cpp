#include "Game/PreloadPool.h"

#include "Game/Log.h"

#include <algorithm>
#include <system_error>
#include <utility>

unsigned PreloadPool::DefaultThreads() {
    // Half the cores: the user-interface thread and the rasteriser keep the rest busy with
    // the loading screen.
    return std::clamp(std::thread::hardware_concurrency() / 2, 2u, 4u);
}

std::thread PreloadPool::StartThread(std::function<void()> run) {
    return std::thread(std::move(run));
}

PreloadPool::PreloadPool(unsigned threads, const Starter& start) {
    // Room first, so that a thread once started is never dropped unjoined.
    threads_.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i) {
            threads_.push_back(start([this] { Run(); }));
        }
    } catch (const std::system_error& e) {
        // A pass that cannot decode on threads of its own still loads its part, on the
        // preload worker, one picture after the other.
        LogFormat("Cannot start a decoding thread (%1%); pictures are decoded on the preload "
                  "worker",
                  e.what());
        StopThreads();
        stopping_ = false;
    } catch (...) {
        // Anything else is the pass's error; the threads started are stopped before it goes on.
        StopThreads();
        throw;
    }
}

PreloadPool::~PreloadPool() {
    StopThreads();
    // What the finished jobs logged still belongs in the log, in order.
    for (; taken_ < slots_.size() && slots_[taken_].done; ++taken_) {
        for (const std::string& line : slots_[taken_].lines) {
            LogWrite(line);
        }
    }
}

void PreloadPool::StopThreads() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

void PreloadPool::Queue(Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_.emplace_back().job = std::move(job);
    }
    queued_.notify_one();
}

void PreloadPool::Finish() {
    if (threads_.empty()) {
        if (taken_ < slots_.size()) {
            const Job job = std::move(slots_[taken_++].job);
            job();
        }
        return;
    }
    std::vector<std::string> lines;
    std::exception_ptr error;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (taken_ >= slots_.size()) {
            return;
        }
        // A deque keeps its elements where they are while more are queued.
        Slot& slot = slots_[taken_++];
        finished_.wait(lock, [&slot] { return slot.done; });
        lines = std::move(slot.lines);
        error = std::exchange(slot.error, nullptr);
    }
    for (const std::string& line : lines) {
        LogWrite(line);
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void PreloadPool::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stopping_ || started_ < slots_.size(); });
        if (stopping_) {
            return;
        }
        Slot& slot = slots_[started_++];
        const Job job = std::move(slot.job);
        lock.unlock();
        std::vector<std::string> lines;
        std::exception_ptr error;
        {
            LogHold hold;
            try {
                job();
            } catch (...) {
                // Thrown again by Finish, on the owner's thread, in queue order.
                error = std::current_exception();
            }
            lines = hold.Take();
        }
        lock.lock();
        slot.lines = std::move(lines);
        slot.error = error;
        slot.done = true;
        finished_.notify_all();
    }
}
