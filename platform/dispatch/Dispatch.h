// Serial work queues and the main queue that reports are posted to.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace rz {

using Task = std::function<void()>;

// The queue of the thread that owns the user interface (or the driver's
// event loop). Tasks posted to it run later on that thread, in order.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    virtual void post(Task task) = 0;
};

// One worker thread running tasks in the order they were added. The
// destructor lets queued tasks finish, then joins the worker.
class SerialQueue {
public:
    // `name` labels the thread (the system keeps its first 15 bytes).
    explicit SerialQueue(std::string name);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(Task task);
    // Blocks until every task added before this call has run.
    void drain();
    const std::string& name() const { return name_; }
    // True when called from this queue's worker thread.
    bool isCurrent() const;

private:
    void run();

    std::string name_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

// A MainQueue that runs on the thread calling run() until quit() is called.
class EventLoop : public MainQueue {
public:
    void post(Task task) override;
    // Runs posted tasks until quit(); returns at once if quit() was already called.
    void run();
    // Runs tasks until `done` answers true or `timeoutMs` passes; answers
    // whether `done` became true. Used by tests.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 30000);
    // Runs the tasks posted so far; returns how many ran.
    int processPending();
    void quit();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Task> tasks_;
    bool quit_ = false;
};

} // namespace rz
