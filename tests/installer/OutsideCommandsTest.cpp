// The port-monitor check against the print spooler, and running outside
// programs to their end.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "DialogPilot.h"
#include "FileContents.h"
#include "WizardFixture.h"
#include "machine/Paths.h"

namespace installer_test {
namespace {

TEST_F(WizardTest, MonitorCheckAsksTheSpooler)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    EXPECT_FALSE(w->IsMonitorInstalled());
    RegisterMonitor("Local Monitor of Another Maker");
    RegisterMonitor("Scanner-Printer Virtual Port Two");
    EXPECT_FALSE(w->IsMonitorInstalled());
    RegisterMonitor();
    EXPECT_TRUE(w->IsMonitorInstalled());
}

TEST_F(WizardTest, MonitorNamedInAnotherCaseDoesNotCount)
{
    CreateWizard(kEnglish);
    RegisterMonitor("scanner-printer VIRTUAL port");
    EXPECT_FALSE(Wizard()->IsMonitorInstalled());
}

// A list that does not fit the 4096 bytes counts as no monitor at all.
TEST_F(WizardTest, MonitorListTooLongForTheBufferAnswersNo)
{
    CreateWizard(kEnglish);
    RegisterMonitor();
    ASSERT_TRUE(Wizard()->IsMonitorInstalled());
    for (int i = 0; i < 60; ++i)
        RegisterMonitor("Monitor of another maker with a rather long name, number " + std::to_string(i));
    EXPECT_FALSE(Wizard()->IsMonitorInstalled());
}

class RunTest : public WizardTest {
protected:
    void SetUp() override
    {
        CreateWizard(kEnglish);
        FTools = FRoot.Scratch("tools");
        FOut = FRoot.Scratch("out");
    }
    // A program of the machine: a shell script named `name`.
    std::string Program(const std::string &name, const std::string &body)
    {
        const std::string path = FTools + "/" + name;
        EXPECT_TRUE(testsupport::WriteText(path, "#!/bin/sh\n" + body));
        EXPECT_EQ(chmod(path.c_str(), 0755), 0);
        return machine::WindowsPath(path);
    }
    std::string FTools, FOut;
};

TEST_F(RunTest, WaitsForTheProgramToEndAndHandsTheCommandLineOver)
{
    const std::string marker = FOut + "/ran";
    const std::string program =
        Program("slow.exe", "sleep 1\nprintf '%s|' \"$@\" > '" + marker + "'\n");
    Wizard()->RunAndWait(("\"" + program + "\" /q \"two words\" last").c_str());
    EXPECT_EQ(testsupport::ReadText(marker), "/q|two words|last|");
}

TEST_F(RunTest, ProgramThatDoesNotExistReturnsAtOnce)
{
    classlib_testing::TDialogPilot pilot;
    Wizard()->RunAndWait("C:\\Nowhere\\missing.exe /x");
    Wizard()->RunAndWait("missing-everywhere");
    Wizard()->RunAndWait("");
    EXPECT_TRUE(pilot.NoDialogShown());
}

} // namespace
} // namespace installer_test
