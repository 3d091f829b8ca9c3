// The whole road through the wizard's own clicks, with the media that the
// build assembles in drive D: and the device stand-in: install, wait for
// the device, print a page through the installed printer to the device,
// uninstall with the uninstaller that installing left in the install
// folder, and restart the machine.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "Application.h"
#include "ChildProcess.h"
#include "DeviceHarness.h"
#include "FileContents.h"
#include "FormPilot.h"
#include "InstallFixture.h"
#include "JobWriter.h"
#include "Main2.h"
#include "SamplePages.h"
#include "machine/Testing.h"

namespace install_test {
namespace {

using classlib_testing::TFormPilot;

// Lets the wizard work until `done` holds, at most `boundMs`.
bool WaitUntil(const std::function<bool()> &done, int boundMs = 60000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    QElapsedTimer bound;
    bound.start();
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done() || bound.elapsed() > boundMs)
            loop.quit();
    });
    look.start(20);
    loop.exec();
    return done();
}

bool OnPage(int page) { return WaitUntil([page] { return Form2->FPage == page; }); }

class RoadTest : public InstallTest {};

TEST_F(RoadTest, InstallPrintUninstallAndRestartThroughTheWizard)
{
    UseBuildMedia();
    StartWizard(kMediaSetup);
    Form2->Show();
    TFormPilot user;

    // Install: the folder page's default folder is made on the way.
    user.Click(Form2->LChap1);
    ASSERT_EQ(Form2->FPage, 1);
    EXPECT_EQ(Form2->EPath->Text(), kInstallDir);
    FPilot->Answer("&Yes");
    user.Click(Form2->LContinue);
    ASSERT_EQ(Form2->FPage, 3);
    user.Click(Form2->LContinue);
    ASSERT_TRUE(OnPage(8)) << "page " << Form2->FPage;
    EXPECT_TRUE(TakeMessages().empty());
    // The media's service program came along into the install folder, and
    // ran from there.
    EXPECT_TRUE(Exists(std::string(kInstallDir) + "\\orvel_winservice.exe"));
    EXPECT_EQ(RunsOf("orvel_winservice.exe"), (std::vector<std::vector<std::string>>{{"/UNINSTALL", "/SILENT"}}));
    user.Click(Form2->LContinue);
    ASSERT_EQ(Form2->FPage, 9);

    // The device is plugged in while the wizard waits for it.
    standin::DeviceProcess device;
    ASSERT_TRUE(device.Started()) << device.Error();
    ASSERT_TRUE(OnPage(10)) << "page " << Form2->FPage;
    EXPECT_EQ(Form2->FComPort, device.PortName());
    user.Click(Form2->LExit2);
    EXPECT_TRUE(Application->Terminated()) << "the wizard closes";

    // A print through the installed printer reaches the device.
    const std::string job = FRoot.Scratch("job") + "/page.prn";
    jobwriter::JobOptions options;
    ASSERT_TRUE(testsupport::WriteBytes(job, jobwriter::WriteJob({jobwriter::MakeTextPage(1)}, options)));
    const testsupport::RunResult printed = testsupport::RunProgram({ARV_PRINT_PATH, kPrinter, job});
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(device.PagePaths().size(), 1u) << device.Log();
    device.Stop();

    // Uninstall with the uninstaller in the install folder.
    const std::string self = std::string(kInstallDir) + "\\setup.exe";
    ASSERT_TRUE(Exists(self));
    FAnswerer.reset();
    FPilot.reset();
    Application.Reset();
    StartWizard(self);
    Form2->Show();
    user.Click(Form2->LChap2);
    ASSERT_EQ(Form2->FPage, 12);
    ASSERT_TRUE(OnPage(16)) << "page " << Form2->FPage;
    user.Click(Form2->LContinue);
    ASSERT_EQ(Form2->FPage, 17);
    user.Click(Form2->LExit2);
    EXPECT_TRUE(Application->Terminated()) << "the wizard closes";
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(Printers().empty());
    EXPECT_TRUE(Monitors().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    EXPECT_FALSE(Exists(std::string(kInstallDir) + "\\orvel_printer.exe"));
    EXPECT_TRUE(Exists(self));
    EXPECT_EQ(RunsOf("orvel_winservice.exe").size(), 2u);

    // The restart takes the uninstaller away.
    const testsupport::RunResult restart = testsupport::RunProgram({MACHINE_TOOL_PATH, "restart"});
    EXPECT_EQ(restart.code, 0) << restart.err;
    EXPECT_NE(restart.out.find("delete " + self), std::string::npos) << restart.out;
    EXPECT_FALSE(Exists(self));
}

} // namespace
} // namespace install_test
