// The step sequencer: pages and steps alternate tick by tick, the timer is
// set to 500 ms and switched on again after every tick but the last, a
// failing step shows the failure page in its own tick, and the success
// page follows the last step at once. The ticks are driven by hand, and
// once by the timer itself.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <string>
#include <vector>

#include "InstallFixture.h"
#include "Main2.h"
#include "machine/Testing.h"

namespace install_test {
namespace {

struct Tick {
    int page;
    bool timerOn;
    int actionDue;
    int step;
    bool operator==(const Tick &other) const
    {
        return page == other.page && timerOn == other.timerOn && (!timerOn || actionDue == other.actionDue) &&
               (!timerOn || step == other.step);
    }
};

void PrintTo(const Tick &tick, std::ostream *out)
{
    *out << "{page " << tick.page << ", timer " << (tick.timerOn ? "on" : "off") << ", due " << tick.actionDue
         << ", step " << tick.step << "}";
}

class SequencerTest : public InstallTest {
protected:
    void SetUp() override
    {
        MakeMedia();
        StartWizard();
        ASSERT_TRUE(CreateDirTree(kInstallDir));
    }

    Tick Now() const
    {
        if (Form2->Timer1->Enabled()) {
            EXPECT_EQ(Form2->Timer1->Interval(), 500);
        }
        return {Form2->FPage, Form2->Timer1->Enabled(), Form2->FActionDue, Form2->FStep};
    }

    // Ticks by hand while the timer is on; the state after each tick.
    std::vector<Tick> Run(const std::function<void(int)> &afterTick = nullptr)
    {
        std::vector<Tick> ticks;
        for (int tick = 1; Form2->Timer1->Enabled() && tick < 20; ++tick) {
            Form2->Timer1Timer(Form2->Timer1);
            ticks.push_back(Now());
            if (afterTick)
                afterTick(tick);
        }
        return ticks;
    }
};

TEST_F(SequencerTest, AnInstallRunAlternatesStepsAndPages)
{
    Form2->ShowPage(3);
    Form2->HandleCommand("SContinue", 3);
    EXPECT_EQ(Form2->FInstalling, 1);
    EXPECT_EQ(Now(), (Tick{4, true, 1, 1}));

    std::vector<bool> monitorAfter;
    const std::vector<Tick> ticks = Run([&](int) { monitorAfter.push_back(!Monitors().empty()); });
    EXPECT_EQ(ticks, (std::vector<Tick>{{4, true, 0, 2},
                                        {5, true, 1, 2},
                                        {5, true, 0, 3},
                                        {6, true, 1, 3},
                                        {6, true, 0, 4},
                                        {7, true, 1, 4},
                                        {8, false, 0, 4}}));
    // Step 1 ran in the first tick.
    EXPECT_EQ(monitorAfter.front(), true);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "DisplayName"), kPrinter);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(SequencerTest, AFailingStepShowsTheFailurePageInItsOwnTick)
{
    Form2->ShowPage(3);
    Form2->HandleCommand("SContinue", 3);
    const std::vector<Tick> ticks = Run([](int tick) {
        if (tick == 2) // page 5 shows: step 2 will find no port monitor key
            RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Ghostgum");
    });
    EXPECT_EQ(ticks, (std::vector<Tick>{{4, true, 0, 2}, {5, true, 1, 2}, {11, false, 0, 2}}));
    EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(41, 77)});
    // Steps 3 and 4 never ran.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMfpKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
}

TEST_F(SequencerTest, AnUninstallRunGoesThroughItsPagesOrEndsOnItsFailurePage)
{
    InstallAll();
    Form2->ShowPage(0);
    Form2->HandleCommand("SChap2", 0);
    EXPECT_EQ(Form2->FInstalling, 0);
    EXPECT_EQ(Now(), (Tick{12, true, 1, 1}));
    EXPECT_EQ(Run(), (std::vector<Tick>{{12, true, 0, 2},
                                        {13, true, 1, 2},
                                        {13, true, 0, 3},
                                        {14, true, 1, 3},
                                        {14, true, 0, 4},
                                        {15, true, 1, 4},
                                        {16, false, 0, 4}}));
    EXPECT_FALSE(Exists(kInstallDir));

    // Again, with a monitor that cannot be deleted.
    machine::testing::SetModuleFileName(kMediaSetup);
    ASSERT_TRUE(CreateDirTree(kInstallDir));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    InstallAll();
    machine::testing::FailSpoolerCall(machine::testing::SpoolerCall::DeleteMonitor, 1, ERROR_ACCESS_DENIED);
    FPilot->Answer("OK");
    Form2->ShowPage(0);
    Form2->HandleCommand("SChap2", 0);
    EXPECT_EQ(Run(), (std::vector<Tick>{{12, true, 0, 2}, {13, true, 1, 2}, {18, false, 0, 2}}));
    ASSERT_EQ(FPilot->Shown().size(), 1u);
    EXPECT_EQ(FPilot->Shown()[0].Text, "DeleteMonitor Failed");
    EXPECT_TRUE(Exists(kInstallDir + std::string("\\orvel_printer.exe")));
}

TEST_F(SequencerTest, TheTimerItselfRunsTheWholeInstall)
{
    Form2->Show();
    std::vector<int> pages{Form2->FPage};
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer bound;
    bound.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (Form2->FPage != pages.back())
            pages.push_back(Form2->FPage);
        if (Form2->FPage == 8 || Form2->FPage == 11 || bound.elapsed() > 60000)
            loop.quit();
    });
    watch.start(10);
    Form2->ShowPage(3);
    pages = {3};
    Form2->HandleCommand("SContinue", 3);
    loop.exec();
    EXPECT_EQ(pages, (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(Form2->Timer1->Enabled());
}

} // namespace
} // namespace install_test
