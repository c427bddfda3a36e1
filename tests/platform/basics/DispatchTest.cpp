#include "platform/dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace rz;

TEST(SerialQueue, RunsTasksInOrderOnOneThread)
{
    std::vector<int> order;
    std::thread::id first;
    bool sameThread = true;
    {
        SerialQueue q("test-queue");
        for (int i = 0; i < 100; ++i) {
            q.async([&, i] {
                if (i == 0)
                    first = std::this_thread::get_id();
                else if (std::this_thread::get_id() != first)
                    sameThread = false;
                order.push_back(i);
            });
        }
        q.drain();
        EXPECT_EQ(order.size(), 100u);
    }
    EXPECT_TRUE(sameThread);
    EXPECT_NE(first, std::this_thread::get_id());
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[size_t(i)], i);
}

TEST(SerialQueue, DestructorLetsQueuedTasksFinish)
{
    std::atomic<int> ran{0};
    {
        SerialQueue q("_startConvertQueue");
        for (int i = 0; i < 10; ++i)
            q.async([&] { ran++; });
    }
    EXPECT_EQ(ran.load(), 10);
}

TEST(EventLoop, PostedTasksRunOnTheLoopThreadInOrder)
{
    EventLoop loop;
    SerialQueue worker("worker");
    std::vector<int> seen;
    const auto mainId = std::this_thread::get_id();
    bool onMain = true;
    for (int i = 0; i < 5; ++i) {
        worker.async([&, i] {
            loop.post([&, i] {
                onMain = onMain && std::this_thread::get_id() == mainId;
                seen.push_back(i);
                if (i == 4)
                    loop.quit();
            });
        });
    }
    loop.run();
    EXPECT_TRUE(onMain);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(EventLoop, RunUntilAndPending)
{
    EventLoop loop;
    int n = 0;
    loop.post([&] { ++n; });
    loop.post([&] { ++n; });
    EXPECT_EQ(loop.processPending(), 2);
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(loop.runUntil([&] { return n == 3; }, 50));
    loop.post([&] { ++n; });
    EXPECT_TRUE(loop.runUntil([&] { return n == 3; }, 1000));
}
