#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The preload worker's helpers for the texture loads of a pass: a few threads that run the
// queued jobs, oldest first, while the worker takes their outcomes back in queue order. Each
// job's log lines are held until the worker takes it and then written, and what it threw is
// thrown again there, so the log and the progress read as if the jobs ran one after another.
// The threads are joined when the pool goes.
class PreloadPool {
public:
    using Job = std::function<void()>;
    // Starts a thread running its argument; throws std::system_error when it cannot.
    using Starter = std::function<std::thread(std::function<void()>)>;

    // The threads to decode on: 2 to 4, fewer where the machine has few cores.
    static unsigned DefaultThreads();
    // A std::thread.
    static std::thread StartThread(std::function<void()> run);

    // With 0 threads every job runs inside Finish, on the caller's thread. So it does when a
    // thread cannot be started: the ones that were are stopped again and one line is logged.
    explicit PreloadPool(unsigned threads, const Starter& start = StartThread);
    // Drops the jobs not started, waits for the running ones, writes the lines of the jobs
    // that ran, in queue order up to the first that did not, and joins the threads.
    ~PreloadPool();
    PreloadPool(const PreloadPool&) = delete;
    PreloadPool& operator=(const PreloadPool&) = delete;

    // Owner only: queues a job behind the others.
    void Queue(Job job);
    // Owner only: waits for the oldest job not yet finished here, writes the lines it logged
    // and throws again what it threw. Nothing queued beyond the last finished: nothing.
    void Finish();

private:
    struct Slot {
        Job job;
        bool done = false;
        std::vector<std::string> lines;
        std::exception_ptr error;
    };

    void Run();
    // Stops the threads and joins them; the pool runs its jobs inline afterwards.
    void StopThreads();

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable queued_;   // a job was queued, or the pool is stopping
    std::condition_variable finished_; // a job has run
    std::deque<Slot> slots_;           // every job of the pass, in queue order
    std::size_t started_ = 0;          // slots handed to a thread (or run inline)
    std::size_t taken_ = 0;            // slots taken back by Finish
    bool stopping_ = false;
};
