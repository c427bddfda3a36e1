#include "platform/dispatch/Dispatch.h"

#include <algorithm>
#include <chrono>
#include <pthread.h>

namespace rz {

SerialQueue::SerialQueue(std::string name) : name_(std::move(name))
{
    worker_ = std::thread([this] {
        pthread_setname_np(pthread_self(), name_.substr(0, 15).c_str());
        run();
    });
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cv_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void SerialQueue::async(Task task)
{
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    cv_.notify_all();
}

void SerialQueue::drain()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && !running_; });
}

bool SerialQueue::isCurrent() const
{
    return std::this_thread::get_id() == worker_.get_id();
}

void SerialQueue::run()
{
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                idle_.notify_all();
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
            running_ = true;
        }
        task();
        {
            std::lock_guard lock(mutex_);
            running_ = false;
        }
        idle_.notify_all();
    }
}

void EventLoop::post(Task task)
{
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    cv_.notify_all();
}

void EventLoop::run()
{
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
            if (quit_)
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

bool EventLoop::runUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        Task task;
        {
            // `done` may become true without a task (another thread's
            // work), so it is polled at least every few milliseconds.
            std::unique_lock lock(mutex_);
            const auto wake = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
            if (!cv_.wait_until(lock, wake, [this] { return !tasks_.empty(); })) {
                if (std::chrono::steady_clock::now() >= deadline)
                    return done();
                continue;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
    return true;
}

int EventLoop::processPending()
{
    std::deque<Task> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    for (Task& t : batch)
        t();
    return int(batch.size());
}

void EventLoop::quit()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
}

} // namespace rz
