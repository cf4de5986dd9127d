// The Qt UI thread: timers, posted messages, one turn of the loop, the blocking wait.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <vector>

#include "QtDispatcher.h"
#include "QtTestSupport.h"

namespace quorvel::testing {
namespace {

using qt::TQtDispatcher;

TEST(QtDispatcher, PostedMessagesRunInOrderAfterTheCurrentEvent) {
    TQtDispatcher d;
    std::vector<int> order;
    d.Post([&] { order.push_back(1); });
    d.Post([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());  // nothing runs inside Post
    EXPECT_EQ(d.PendingMessages(), 2u);
    d.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(d.PendingMessages(), 0u);
}

TEST(QtDispatcher, ProcessMessagesRunsOnlyWhatIsQueuedNow) {
    TQtDispatcher d;
    std::vector<int> order;
    d.Post([&] {
        order.push_back(1);
        d.Post([&] { order.push_back(3); });
    });
    d.Post([&] { order.push_back(2); });
    d.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    d.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(QtDispatcher, TimersRepeatUntilKilledEvenFromTheirOwnTick) {
    TQtDispatcher d;
    int ticks = 0;
    IDispatcher::TimerId id = 0;
    id = d.SetTimer(5, [&] {
        if (++ticks == 3) d.KillTimer(id);
    });
    EXPECT_EQ(d.ActiveTimers(), 1u);
    EXPECT_TRUE(SpinUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(d.ActiveTimers(), 0u);
    SpinUntil([] { return false; }, 60);
    EXPECT_EQ(ticks, 3);
    d.KillTimer(id);     // already killed
    d.KillTimer(12345);  // never made
}

TEST(QtDispatcher, TwoTimersKeepTheirOwnIntervals) {
    TQtDispatcher d;
    int fast = 0, slow = 0;
    d.SetTimer(5, [&] { ++fast; });
    d.SetTimer(1500, [&] { ++slow; });  // far apart, so a loaded machine cannot blur them
    EXPECT_TRUE(SpinUntil([&] { return fast >= 10; }));
    EXPECT_EQ(slow, 0);
    EXPECT_TRUE(SpinUntil([&] { return slow >= 1; }));
}

TEST(QtDispatcher, WaitBlocksTimersAndMessages) {
    TQtDispatcher d;
    int ticks = 0, posted = 0;
    d.SetTimer(2, [&] { ++ticks; });
    d.Post([&] { ++posted; });
    const std::int64_t before = d.Now();
    d.Wait(60);
    EXPECT_GE(d.Now() - before, 60);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(posted, 0);
    // Once the thread is free again the queue runs; the late timer fires once, not once per missed period.
    d.ProcessMessages();
    EXPECT_EQ(posted, 1);
    EXPECT_LE(ticks, 1);
    EXPECT_TRUE(SpinUntil([&] { return ticks >= 1; }));
}

TEST(QtDispatcher, MessagesStillQueuedDieWithTheDispatcher) {
    int posted = 0;
    {
        TQtDispatcher d;
        d.Post([&] { ++posted; });
    }
    QApplication::processEvents();
    EXPECT_EQ(posted, 0);
}

TEST(QtDispatcher, ATimerKilledBeforeItsTickNeverRuns) {
    TQtDispatcher d;
    int ticks = 0;
    const auto id = d.SetTimer(1, [&] { ++ticks; });
    d.Wait(10);  // the tick is due now
    d.KillTimer(id);
    SpinUntil([] { return false; }, 30);
    EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace quorvel::testing
