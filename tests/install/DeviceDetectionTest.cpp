// The wait for the device after installing: the installer's own port
// object, the search for the device's ports under the bridge driver's key,
// and the waiting page with its dots, its end on page 10 and its going on
// behind other pages.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DeviceIds.h"
#include "InstallFixture.h"
#include "Main2.h"
#include "PseudoTerminal.h"
#include "StringList.h"
#include "Tserial.h"
#include "machine/FtdiBus.h"

namespace install_test {
namespace {

using testsupport::PseudoTerminal;
using testsupport::SlaveHold;

class DeviceDetectionTest : public InstallTest {
protected:
    void SetUp() override { StartWizard(); }

    // A port that the bridge lists for the device, on a line of its own.
    PseudoTerminal *Plug(const std::string &port, const std::string &serial, const std::string &instance = "0000",
                         const char *vendor = kDeviceVendorId, const char *product = kDeviceProductId)
    {
        FLines.emplace_back(new PseudoTerminal("", SlaveHold::Held));
        EXPECT_TRUE(FLines.back()->Ok());
        EXPECT_TRUE(machine::PlugDevice(serial, instance, port, FLines.back()->SlavePath(), vendor, product));
        return FLines.back().get();
    }

    std::vector<std::string> Found()
    {
        TStringList *ports = Form2->FindFtdiComPorts();
        std::vector<std::string> names;
        for (int i = 0; i < ports->Count(); ++i)
            names.push_back(ports->Strings(i).str());
        delete ports;
        return names;
    }

    void ShowWaitingPage()
    {
        Form2->ShowPage(8);
        Form2->HandleCommand("SContinue", 8);
        ASSERT_EQ(Form2->FPage, 9);
        ASSERT_TRUE(Form2->Timer2->Enabled());
    }

    std::vector<std::unique_ptr<PseudoTerminal>> FLines;
};

TEST_F(DeviceDetectionTest, ThePortObjectOpensAndClosesAsTheDeviceLinksDoes)
{
    Tserial serial;
    EXPECT_EQ(serial.Handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(serial.Open(nullptr, 19200, 10, 0), Tserial::kNoPortName);
    EXPECT_EQ(serial.Open("COM9", 19200, 10, 0), Tserial::kCreateFailed);
    EXPECT_EQ(serial.Open("COM1234567890123", 19200, 10, 0), Tserial::kCreateFailed) << "16 characters";
    EXPECT_EQ(serial.Open("", 19200, 10, 0), Tserial::kCreateFailed);
    EXPECT_EQ(serial.Handle(), INVALID_HANDLE_VALUE);

    PseudoTerminal line("COM4", SlaveHold::Held);
    ASSERT_TRUE(line.Ok());
    ASSERT_EQ(serial.Open("COM4", 19200, 10, 0), Tserial::kOpenOk);
    EXPECT_NE(serial.Handle(), INVALID_HANDLE_VALUE);
    // Held: another open of the port fails.
    Tserial other;
    EXPECT_EQ(other.Open("COM4", 19200, 10, 0), Tserial::kCreateFailed);
    serial.Close();
    EXPECT_EQ(serial.Handle(), INVALID_HANDLE_VALUE);
    serial.Close();
    EXPECT_EQ(other.Open("COM4", 19200, 10, 2), Tserial::kOpenOk);
    // The destructor closes it; a second object can have it then.
    { Tserial inner; }
}

TEST_F(DeviceDetectionTest, FindsTheDevicesOpenablePortsInRegistryOrder)
{
    EXPECT_TRUE(Found().empty()) << "no bridge key at all";
    Plug("COM7", "ARV0002");
    Plug("COM6", "ARV0001");
    Plug("COM8", "ARV0001", "0001");
    // Not the device: other ids, the right ids in lower case.
    Plug("COM10", "ARV0003", "0000", "0403", "6010");
    ASSERT_TRUE(machine::RegisterDevice("X", "0000", "COM11", "0403", "600a"));
    Plug("COM12", "ARV0004", "0000", "0403", "6001");
    ASSERT_TRUE(machine::RegisterDevice("ARV0005", "0000", "COM13", "0403", "6001")); // no port behind it
    ASSERT_TRUE(machine::RegisterDevice("ARV0006", "0000", "", "0403", "6001"));      // empty port name
    EXPECT_EQ(Found(), (std::vector<std::string>{"COM6", "COM8", "COM7", "COM12"}));

    // A port that another process holds is left out.
    Tserial holder;
    ASSERT_EQ(holder.Open("COM6", 19200, 10, 0), Tserial::kOpenOk);
    EXPECT_EQ(Found(), (std::vector<std::string>{"COM8", "COM7", "COM12"}));
}

TEST_F(DeviceDetectionTest, TheWaitingPageCyclesItsDotsUntilAPortAppears)
{
    ShowWaitingPage();
    std::vector<std::string> dots;
    for (int tick = 0; tick < 6; ++tick) {
        Form2->Timer2Timer(Form2->Timer2);
        EXPECT_TRUE(Form2->LChap4->Visible());
        dots.push_back(Form2->LChap4->Caption().str());
    }
    EXPECT_EQ(dots, (std::vector<std::string>{".", "..", "...", "....", ".", ".."}));
    EXPECT_EQ(Form2->FPage, 9);
    EXPECT_TRUE(Form2->Timer2->Enabled());

    // Two ports: the first in registry order is taken.
    Plug("COM9", "ARV0009");
    Plug("COM5", "ARV0001");
    Form2->Timer2Timer(Form2->Timer2);
    EXPECT_EQ(Form2->FPage, 10);
    EXPECT_EQ(Form2->FComPort, "COM5");
    EXPECT_FALSE(Form2->Timer2->Enabled());
}

TEST_F(DeviceDetectionTest, TheWaitGoesOnBehindTheHomePage)
{
    ShowWaitingPage();
    Form2->HandleCommand("SMenu", 9);
    EXPECT_EQ(Form2->FPage, 0);
    EXPECT_TRUE(Form2->Timer2->Enabled());
    Form2->Timer2Timer(Form2->Timer2);
    EXPECT_EQ(Form2->FPage, 0);

    // A port held by another process is not found until it is free.
    Plug("COM3", "ARV0001");
    Tserial holder;
    ASSERT_EQ(holder.Open("COM3", 19200, 10, 0), Tserial::kOpenOk);
    Form2->Timer2Timer(Form2->Timer2);
    EXPECT_EQ(Form2->FPage, 0);
    holder.Close();
    Form2->Timer2Timer(Form2->Timer2);
    EXPECT_EQ(Form2->FPage, 10);
    EXPECT_EQ(Form2->FComPort, "COM3");
}

TEST_F(DeviceDetectionTest, TheTimerFindsADevicePluggedInWhileThePageShows)
{
    Form2->Show();
    ShowWaitingPage();
    EXPECT_EQ(Form2->Timer2->Interval(), 1000);
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer bound;
    bound.start();
    std::string dotsSeen;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const std::string dots = Form2->LChap4->Caption().str();
        if (Form2->FPage == 9 && !dots.empty() && dots != dotsSeen) {
            dotsSeen = dots;
            if (dots == "..")
                Plug("COM5", "ARV0001");
        }
        if (Form2->FPage == 10 || bound.elapsed() > 30000)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    EXPECT_EQ(Form2->FPage, 10);
    EXPECT_EQ(Form2->FComPort, "COM5");
    EXPECT_FALSE(Form2->Timer2->Enabled());
}

// The wait left running behind the home page does not break into a run
// started from there: the device plugged in during an uninstall run leaves
// the run's pages and step captions alone, and the run ends on its own page.
TEST_F(DeviceDetectionTest, ARunStartedDuringTheWaitEndsOnItsOwnPage)
{
    MakeMedia();
    InstallAll();
    Form2->Show();
    ShowWaitingPage();
    Form2->HandleCommand("SMenu", 9);
    ASSERT_TRUE(Form2->Timer2->Enabled());
    Form2->HandleCommand("SChap2", 0);
    ASSERT_EQ(Form2->FPage, 12);
    EXPECT_FALSE(Form2->Timer2->Enabled());

    std::vector<int> pages{Form2->FPage};
    std::set<std::string> stepFour; // what LChap4 showed during the run
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer bound;
    bound.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        stepFour.insert(Form2->LChap4->Caption().str());
        if (Form2->FPage != pages.back()) {
            pages.push_back(Form2->FPage);
            // Plugged in once step 1, which warns of a plugged device, has run.
            if (Form2->FPage == 13)
                Plug("COM5", "ARV0001");
        }
        if (Form2->FPage == 16 || Form2->FPage == 18 || Form2->FPage == 10 || Form2->FPage == 11 ||
            bound.elapsed() > 60000)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    EXPECT_EQ(pages, (std::vector<int>{12, 13, 14, 15, 16}));
    EXPECT_EQ(stepFour, std::set<std::string>{Form2->GetLangText(22).str()});
    EXPECT_TRUE(Form2->FComPort.IsEmpty());
    EXPECT_FALSE(Form2->Timer2->Enabled());
    EXPECT_TRUE(TakeMessages().empty());
}

} // namespace
} // namespace install_test
