// Start-up: refused while the printer or the scanner program runs (real
// processes under those names), else the three forms and the application
// title; and the process check on its own.
#include <gtest/gtest.h>

#include <signal.h>

#include <QTimer>

#include <string>
#include <vector>

#include "Application.h"
#include "ChildProcess.h"
#include "Choose_folder.h"
#include "DialogPilot.h"
#include "FileContents.h"
#include "Main2.h"
#include "Message.h"
#include "Orvel_inst.h"
#include "TempMachineRoot.h"
#include "winmain.h"

namespace installer_test {
namespace {

using classlib_testing::TDialogPilot;

// A process whose module name is `name`: a copy of sleep(1) that the test
// ends by its pid.
class NamedProcess {
public:
    NamedProcess(const std::string &folder, const std::string &name)
    {
        const std::string path = folder + "/" + name;
        if (testsupport::CopyWithMode("/bin/sleep", path, 0755))
            FPid = testsupport::Spawn({path, "300"});
    }
    ~NamedProcess()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            testsupport::WaitForExit(FPid, 10000);
        }
    }
    bool Started() const { return FPid > 0; }

private:
    pid_t FPid = -1;
};

std::string Refusal(const std::string &program)
{
    return "Please, close the program " + program + " before to start the Setup.exe";
}

class StartupTest : public testing::Test {
protected:
    ~StartupTest() override { Application.Reset(); }

    // Runs WinMain; a wizard that opens is closed as soon as it runs.
    int RunInstaller()
    {
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            FWizardOpened = Form2 != nullptr && Form2->Visible();
            if (Form2) {
                FTitle = Application->Title();
                FHiddenForms = Message_Form && !Message_Form->Visible() && ChooseFolder_Form &&
                               !ChooseFolder_Form->Visible();
                Form2->Close();
            }
        });
        closer.start(0);
        Form2 = nullptr;
        Message_Form = nullptr;
        ChooseFolder_Form = nullptr;
        return WinMain(nullptr, nullptr, const_cast<char *>(""), 1);
    }

    testsupport::TempMachineRoot FRoot{"arv-startup", testsupport::Layout::Now};
    bool FWizardOpened = false;
    bool FHiddenForms = false;
    AnsiString FTitle;
};

struct RefusalCase {
    const char *name;
    std::vector<std::string> running;
    std::string shown; // "" for no refusal
};

void PrintTo(const RefusalCase &c, std::ostream *os) { *os << c.name; }

class RefusalTest : public StartupTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, RefusesWhileAProgramOfTheSystemRuns)
{
    const RefusalCase &c = GetParam();
    ASSERT_TRUE(FRoot.Made());
    std::vector<std::unique_ptr<NamedProcess>> processes;
    for (const std::string &name : c.running) {
        processes.push_back(std::make_unique<NamedProcess>(FRoot.Scratch(name), name));
        ASSERT_TRUE(processes.back()->Started()) << name;
    }
    TDialogPilot pilot;
    if (!c.shown.empty())
        pilot.Answer("OK");

    EXPECT_EQ(RunInstaller(), 0);

    if (c.shown.empty()) {
        EXPECT_TRUE(pilot.NoDialogShown());
        EXPECT_TRUE(FWizardOpened);
        EXPECT_TRUE(FHiddenForms);
        EXPECT_EQ(FTitle, "Setup");
    } else {
        ASSERT_EQ(pilot.Shown().size(), 1u);
        EXPECT_EQ(pilot.Shown()[0].Bytes, c.shown);
        EXPECT_EQ(pilot.Shown()[0].Icon, "");
        EXPECT_EQ(pilot.Shown()[0].Buttons, std::vector<std::string>{"OK"});
        EXPECT_FALSE(FWizardOpened);
        EXPECT_EQ(Form2, nullptr);
        EXPECT_EQ(Message_Form, nullptr);
    }
    EXPECT_TRUE(pilot.Problems().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Programs, RefusalTest,
    testing::Values(RefusalCase{"Printer", {"orvel_printer.exe"}, Refusal("orvel_printer.exe")},
                    RefusalCase{"Scanner", {"orvel_scanner.exe"}, Refusal("orvel_scanner.exe")},
                    RefusalCase{"BothNamesThePrinter",
                                {"orvel_scanner.exe", "orvel_printer.exe"},
                                Refusal("orvel_printer.exe")},
                    RefusalCase{"NameInOtherCase", {"Orvel_Printer.exe"}, ""},
                    RefusalCase{"OtherName", {"orvel_printer"}, ""},
                    RefusalCase{"Neither", {}, ""}),
    [](const testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST(ProcessCheck, FindsARunningProgramByItsExactName)
{
    testsupport::TempMachineRoot root("arv-startup", testsupport::Layout::Now);
    ASSERT_TRUE(root.Made());
    {
        NamedProcess scanner(root.Scratch("scanner"), "orvel_scanner.exe");
        ASSERT_TRUE(scanner.Started());
        EXPECT_TRUE(IsProcessRunning("orvel_scanner.exe"));
        EXPECT_FALSE(IsProcessRunning("ORVEL_SCANNER.EXE"));
        EXPECT_FALSE(IsProcessRunning("orvel_scanner"));
    }
    EXPECT_FALSE(IsProcessRunning("orvel_scanner.exe"));
}

} // namespace
} // namespace installer_test
