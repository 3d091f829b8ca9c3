// Timers: when the count runs and when it starts again, a timer driven from
// another thread, and an exception in a tick.

#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include "FormsTestSupport.h"
#include "Timer.h"

namespace {

using Timers = formstest::FormsTest;

// The milliseconds left of the timer's count; -1 when it does not run.
int Remaining(TTimer *timer) { return timer->findChild<QTimer *>()->remainingTime(); }

void Pause() { usleep(30 * 1000); }

TEST_F(Timers, ItRunsOnlyEnabledWithAnIntervalAndAHandler)
{
    TTimer timer(Application);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_FALSE(timer.Running()) << "no handler";
    timer.SetOnTimer(TNotifyEvent([](TObject *) {}, nullptr, ""));
    EXPECT_TRUE(timer.Running());
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    timer.SetInterval(500);
    EXPECT_TRUE(timer.Running());
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(timer.Interval(), 500);
}

TEST_F(Timers, ANewIntervalRestartsTheCountTheSameChangesNothing)
{
    TTimer timer(Application);
    timer.SetInterval(100000);
    timer.SetOnTimer(TNotifyEvent([](TObject *) {}, nullptr, ""));
    Pause();
    const int counted = Remaining(&timer);
    ASSERT_LT(counted, 100000);

    timer.SetInterval(100000);
    timer.SetEnabled(true);
    EXPECT_LE(Remaining(&timer), counted) << "the same interval, or enabling an enabled timer, restarts nothing";

    timer.SetInterval(100001);
    EXPECT_GT(Remaining(&timer), counted) << "a new interval starts the count again";
    Pause();
    const int before = Remaining(&timer);
    timer.SetOnTimer(TNotifyEvent([](TObject *) {}, nullptr, ""));
    EXPECT_GT(Remaining(&timer), before) << "so does a new handler";
}

TEST_F(Timers, SettingsFromAnotherThreadReachTheGuiThreadInOrder)
{
    TTimer timer(Application);
    timer.SetEnabled(false);
    timer.SetInterval(1000);
    int ticks = 0;
    QEventLoop loop;
    timer.SetOnTimer(TNotifyEvent(
        [&](TObject *) {
            ++ticks;
            timer.SetEnabled(false);
            loop.quit();
        },
        nullptr, ""));

    std::thread worker([&] {
        timer.SetEnabled(true);
        timer.SetInterval(30);
        timer.SetEnabled(false);
        timer.SetInterval(40);
        timer.SetEnabled(true);
        timer.SetInterval(20);
    });
    worker.join();
    EXPECT_FALSE(timer.Enabled()) << "nothing changes before the GUI thread takes it";
    EXPECT_EQ(timer.Interval(), 1000);

    QCoreApplication::processEvents();
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 20);

    // It fires on the GUI thread; a generous guard ends a loop that never
    // ticks.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(10000);
    loop.exec();
    EXPECT_EQ(ticks, 1);
}

TEST_F(Timers, ATimerMadeOnAnotherThreadFiresOnTheGuiThread)
{
    TTimer *timer = nullptr;
    std::thread maker([&] { timer = new TTimer(nullptr); });
    maker.join();
    EXPECT_EQ(timer->thread(), QCoreApplication::instance()->thread());
    delete timer;
}

TEST_F(Timers, AnExceptionInATickIsShownInTheExceptionBox)
{
    TTimer timer(Application);
    timer.SetInterval(10);
    QEventLoop loop;
    timer.SetOnTimer(TNotifyEvent(
        [&](TObject *) {
            timer.SetEnabled(false);
            loop.quit();
            throw EFOpenError("Cannot open file C:\\TEMP\\config.inc");
        },
        nullptr, ""));
    Pilot.Answer("OK");
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(10000);
    loop.exec();
    ASSERT_EQ(Pilot.Shown().size(), 1u);
    EXPECT_EQ(Pilot.Shown()[0].Text, "Cannot open file C:\\TEMP\\config.inc.");
    EXPECT_EQ(Pilot.Shown()[0].Icon, "error");
    EXPECT_EQ(Pilot.Shown()[0].Title, "forms_test");
}

} // namespace
