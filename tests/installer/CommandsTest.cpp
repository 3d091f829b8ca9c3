// What each command does on each page: the moves between pages, closing
// the wizard, the commands a page ignores; the install folder's check on
// page 1; opening the install media's folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "Application.h"
#include "DialogPilot.h"
#include "FileContents.h"
#include "WizardFixture.h"
#include "direct.h"
#include "machine/Shell.h"
#include "machine/Paths.h"
#include "windows.h"

namespace installer_test {
namespace {

using classlib_testing::TDialogPilot;

const char *const kCommands[] = {"SChap1", "SChap2",    "SChap3", "SChap4",  "SExit",
                                 "SExit2", "SPrev",     "SMenu",  "SContinue", "SBrowse"};

constexpr int kClosed = -1;

struct Move {
    unsigned page;
    const char *command;
    int next; // page after, or kClosed
};

// Every command that moves between pages or closes, page by page.
const Move kMoves[] = {
    {0, "SChap1", 1},      {0, "SChap2", 12},   {0, "SExit", kClosed},  {1, "SExit", kClosed},
    {1, "SPrev", 0},       {1, "SMenu", 0},     {1, "SContinue", 3},    {3, "SContinue", 4},
    {3, "SExit", kClosed}, {3, "SPrev", 1},     {3, "SMenu", 0},        {4, "SExit", kClosed},
    {5, "SExit", kClosed}, {6, "SExit", kClosed}, {7, "SExit", kClosed}, {12, "SExit", kClosed},
    {13, "SExit", kClosed}, {14, "SExit", kClosed}, {15, "SExit", kClosed}, {8, "SExit", kClosed},
    {8, "SContinue", 9},   {9, "SExit", kClosed}, {9, "SMenu", 0},      {10, "SExit2", kClosed},
    {10, "SMenu", 0},      {11, "SExit2", kClosed}, {16, "SExit", kClosed}, {16, "SContinue", 17},
    {17, "SExit2", kClosed}, {18, "SExit2", kClosed},
};

// Commands that act without moving: page 0's browse of the media folder and
// page 1's folder browse (a dialog; its own test).
const std::set<std::pair<unsigned, std::string>> kActingInPlace = {{0, "SChap3"}, {1, "SBrowse"}};

class CommandTest : public WizardTest {
protected:
    void SetUp() override
    {
        RegisterMonitor();
        CreateWizard(kEnglish);
        // Page 1's Continue finds the install folder there.
        ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrona", nullptr));
        ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrona\\Norvik", nullptr));
    }

    // The page after `command` on `page`, or kClosed. Closing the main form
    // ends the application, so a fresh wizard follows it.
    int Outcome(unsigned page, const char *command)
    {
        TForm2 *w = Wizard();
        w->ShowPage(page);
        w->HandleCommand(command, static_cast<int>(page));
        if (Application->Terminated()) {
            Application.Reset();
            CreateWizard(kEnglish);
            return kClosed;
        }
        w->Timer1->SetEnabled(false);
        w->Timer2->SetEnabled(false);
        return w->FPage;
    }
};

TEST_F(CommandTest, EveryPageMovesOrClosesAsItsTableSays)
{
    for (const Move &move : kMoves)
        EXPECT_EQ(Outcome(move.page, move.command), move.next) << "page " << move.page << " " << move.command;
}

TEST_F(CommandTest, CommandsAPageDoesNotListChangeNothing)
{
    for (unsigned page = 0; page <= 19; ++page) {
        for (const char *command : kCommands) {
            bool listed = kActingInPlace.count({page, command}) > 0;
            for (const Move &move : kMoves)
                listed = listed || (move.page == page && std::string(move.command) == command);
            if (listed)
                continue;
            EXPECT_EQ(Outcome(page, command), static_cast<int>(page)) << "page " << page << " " << command;
        }
    }
    // Names are compared exactly.
    EXPECT_EQ(Outcome(0, "schap1"), 0);
    EXPECT_EQ(Outcome(0, "SChap1 "), 0);
}

TEST_F(CommandTest, TheGivenPageDecidesNotThePageShowing)
{
    TForm2 *w = Wizard();
    w->ShowPage(3);
    w->HandleCommand("SChap1", 0);
    EXPECT_EQ(w->FPage, 1);
}

TEST_F(CommandTest, RunsStartOnTheirFirstProgressPage)
{
    TForm2 *w = Wizard();
    w->ShowPage(3);
    w->HandleCommand("SContinue", 3);
    EXPECT_EQ(w->FPage, 4);
    EXPECT_EQ(w->FInstalling, 1);
    EXPECT_EQ(w->FActionDue, 1);
    EXPECT_EQ(w->FStep, 1);
    EXPECT_TRUE(w->Timer1->Enabled());
    EXPECT_EQ(w->Timer1->Interval(), 500);
    w->Timer1->SetEnabled(false);

    w->ShowPage(0);
    w->HandleCommand("SChap2", 0);
    EXPECT_EQ(w->FPage, 12);
    EXPECT_EQ(w->FInstalling, 0);
    EXPECT_TRUE(w->Timer1->Enabled());
    w->Timer1->SetEnabled(false);
}

TEST_F(CommandTest, UninstallNeedsTheMonitorAtTheMomentOfTheClick)
{
    TForm2 *w = Wizard();
    w->ShowPage(0);
    ASSERT_TRUE(w->LChap2->Visible());
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Scanner-Printer Virtual Port"),
              ERROR_SUCCESS);
    w->HandleCommand("SChap2", 0);
    EXPECT_EQ(w->FPage, 0);
    EXPECT_FALSE(w->Timer1->Enabled());
}

TEST_F(CommandTest, ContinueOnThePageAfterInstallingWaitsForTheDevice)
{
    TForm2 *w = Wizard();
    w->ShowPage(8);
    w->HandleCommand("SContinue", 8);
    EXPECT_EQ(w->FPage, 9);
    EXPECT_TRUE(w->Timer2->Enabled());
    // Menu leaves the wait running.
    w->HandleCommand("SMenu", 9);
    EXPECT_EQ(w->FPage, 0);
    EXPECT_TRUE(w->Timer2->Enabled());
    w->Timer2->SetEnabled(false);
}

// ---- Page 1: the install folder --------------------------------------------------

bool IsFolder(const char *windowsPath)
{
    struct stat info;
    return stat(machine::UnixPath(windowsPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST_F(CommandTest, ExistingFolderGoesOnWithoutAQuestion)
{
    TDialogPilot pilot;
    TForm2 *w = Wizard();
    w->ShowPage(1);
    w->EPath->SetText("C:\\Windows");
    w->HandleCommand("SContinue", 1);
    EXPECT_TRUE(pilot.NoDialogShown());
    EXPECT_EQ(w->FPage, 3);
    EXPECT_EQ(*w->FInstallDir, "C:\\Windows");
}

TEST_F(CommandTest, MissingFolderIsMadeWithItsParentsOnYes)
{
    TDialogPilot pilot;
    pilot.Answer("&Yes");
    TForm2 *w = Wizard();
    w->ShowPage(1);
    w->EPath->SetText("C:\\Apps\\Fax\\Norvik");
    w->HandleCommand("SContinue", 1);
    ASSERT_EQ(pilot.Shown().size(), 1u);
    EXPECT_EQ(pilot.Shown()[0].Kind, mtConfirmation);
    EXPECT_EQ(pilot.Shown()[0].Title, "Confirm");
    EXPECT_EQ(pilot.Shown()[0].Bytes, "Directory does not exists.\r\nDo you want to create it ?");
    EXPECT_EQ(pilot.Shown()[0].Buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(pilot.Problems().empty());
    EXPECT_TRUE(IsFolder("C:\\Apps\\Fax\\Norvik"));
    EXPECT_EQ(w->FPage, 3);
    EXPECT_EQ(*w->FInstallDir, "C:\\Apps\\Fax\\Norvik");
}

TEST_F(CommandTest, NoLeavesPageOneWithTheFolderTakenOver)
{
    TDialogPilot pilot;
    pilot.Answer("&No");
    TForm2 *w = Wizard();
    w->ShowPage(1);
    w->EPath->SetText("C:\\Apps\\Fax");
    w->HandleCommand("SContinue", 1);
    EXPECT_EQ(pilot.Shown().size(), 1u);
    EXPECT_FALSE(IsFolder("C:\\Apps"));
    EXPECT_EQ(w->FPage, 1);
    EXPECT_EQ(*w->FInstallDir, "C:\\Apps\\Fax");
}

TEST_F(CommandTest, FolderThatCannotBeMadeIsReportedAndPageOneStays)
{
    TDialogPilot pilot;
    pilot.Answer("&Yes");
    pilot.Answer("&Abort");
    TForm2 *w = Wizard();
    w->Img_FR->Click();
    w->ShowPage(1);
    // A drive the machine does not have.
    w->EPath->SetText("Q:\\Fax");
    w->HandleCommand("SContinue", 1);
    ASSERT_EQ(pilot.Shown().size(), 2u);
    EXPECT_EQ(pilot.Shown()[0].Bytes, Text(33, kFrench).str());
    EXPECT_EQ(pilot.Shown()[1].Kind, mtError);
    EXPECT_EQ(pilot.Shown()[1].Title, "Error");
    EXPECT_EQ(pilot.Shown()[1].Bytes, Text(34, kFrench).str());
    EXPECT_EQ(pilot.Shown()[1].Buttons, std::vector<std::string>{"&Abort"});
    EXPECT_TRUE(pilot.Problems().empty());
    EXPECT_EQ(w->FPage, 1);
}


// ---- Page 1's folder browse and page 0's media folder -------------------------

TEST_F(CommandTest, BrowseOpensAtTheFieldsFolderAndShowsTheChoice)
{
    TForm2 *w = Wizard();
    w->ShowPage(1);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    TDialogPilot pilot;
    pilot.TypeFolder("C:\\Apps\\Fax");
    pilot.Answer("OK");
    pilot.Answer("&Yes");
    w->HandleCommand("SBrowse", 1);
    ASSERT_EQ(pilot.FolderDialogs().size(), 1u);
    EXPECT_EQ(pilot.FolderDialogs()[0].Directory, "C:\\Program Files\\Veltrona\\Norvik");
    EXPECT_TRUE(pilot.FolderDialogs()[0].Accepted);
    EXPECT_TRUE(pilot.Problems().empty());
    EXPECT_EQ(w->EPath->Text(), "C:\\Apps\\Fax");
    EXPECT_TRUE(IsFolder("C:\\Apps\\Fax"));
    // Taken over only by Continue.
    EXPECT_EQ(*w->FInstallDir, "C:\\Program Files\\Veltrona\\Norvik");
    char current[MAX_PATH] = {};
    ASSERT_NE(_getdcwd(3, current, sizeof current), nullptr);
    EXPECT_STREQ(current, "C:\\Windows");
}

TEST_F(CommandTest, BrowseCancelledKeepsTheField)
{
    TForm2 *w = Wizard();
    w->ShowPage(1);
    w->EPath->SetText("C:\\Not\\There");
    TDialogPilot pilot;
    pilot.Answer("Cancel");
    w->HandleCommand("SBrowse", 1);
    ASSERT_EQ(pilot.FolderDialogs().size(), 1u);
    // A field naming no folder opens the dialog at Program Files.
    EXPECT_EQ(pilot.FolderDialogs()[0].Directory, "C:\\Program Files");
    EXPECT_FALSE(pilot.FolderDialogs()[0].Accepted);
    EXPECT_EQ(w->EPath->Text(), "C:\\Not\\There");
}

TEST_F(CommandTest, BrowseContentsExploresTheInstallersOwnFolder)
{
    unlink(machine::ExplorerLog().c_str());
    char module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof module), 0u);
    // Explorer names the folder without its trailing backslash.
    std::string folder = module;
    folder.erase(folder.rfind('\\'));

    Wizard()->HandleCommand("SChap3", 0);
    // Explorer runs on its own; its record comes when it has run.
    std::string log;
    for (int i = 0; i < 300 && log.empty(); ++i) {
        usleep(100 * 1000);
        log = testsupport::ReadText(machine::ExplorerLog());
    }
    EXPECT_EQ(log, "explore\t" + folder + "\n");
    EXPECT_EQ(Wizard()->FPage, 0);
}

} // namespace
} // namespace installer_test
