// The folder dialog (SelectDirectory) on a temporary machine root, driven
// by the dialog pilot as a user would: picking folders and drives, typing
// a folder that does not exist, answering the question whether to create
// it.

#include <sys/stat.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogPilot.h"
#include "FileContents.h"
#include "Folders.h"
#include "SelectDirectory.h"
#include "TempMachineRoot.h"

using classlib_testing::TDialogPilot;
using classlib_testing::TShownFolderDialog;

namespace {

using Texts = std::vector<std::string>;

const TSelectDirOpts kAllOptions = TSelectDirOpts() << sdAllowCreate << sdPerformCreate << sdPrompt;
const char kQuestion[] = "The specified directory does not exist. Create it?";

class FolderDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        ASSERT_TRUE(ForceDirectories("C:\\Scans\\Old"));
        ASSERT_TRUE(ForceDirectories("C:\\Scans\\new"));
    }
    void TearDown() override
    {
        EXPECT_TRUE(Pilot.Problems().empty()) << Pilot.Problems().front();
        EXPECT_EQ(Pilot.AnswersLeft(), 0u);
    }

    bool OnC(const std::string &path) const
    {
        struct stat info;
        return stat((FRoot.Path() + "/drives/c/" + path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    const TShownFolderDialog &Shown() const
    {
        static const TShownFolderDialog none;
        EXPECT_EQ(Pilot.FolderDialogs().size(), 1u);
        return Pilot.FolderDialogs().empty() ? none : Pilot.FolderDialogs().back();
    }

    testsupport::TempMachineRoot FRoot{"folder-dialog", testsupport::Layout::Now};
    TDialogPilot Pilot;
};

TEST_F(FolderDialog, OpensAtTheFolderWithItsPathAndSubfolders)
{
    Pilot.Answer("OK");
    AnsiString folder = "c:\\scans";
    EXPECT_TRUE(SelectDirectory(folder, kAllOptions, 0));
    const TShownFolderDialog &shown = Shown();
    EXPECT_EQ(shown.Title, "Select Directory");
    EXPECT_EQ(shown.Directory, "C:\\Scans") << "spelt as on disk";
    EXPECT_EQ(shown.Edit, "C:\\Scans");
    EXPECT_EQ(shown.Lines, (Texts{"C:\\", "Scans", "new", "Old"}));
    EXPECT_EQ(shown.Drives, (Texts{"c:", "z:"}));
    EXPECT_EQ(shown.Buttons, (Texts{"OK", "Cancel"})) << "no Help button";
    EXPECT_EQ(folder, "C:\\Scans");
    EXPECT_TRUE(shown.Accepted);
}

TEST_F(FolderDialog, AFolderThatIsGoneOpensAtTheNearestOneAbove)
{
    struct Case {
        const char *start;
        const char *shown;
    } cases[] = {
        {"C:\\Scans\\Gone\\Deeper", "C:\\Scans"},
        {"C:\\Nothing", "C:\\"},
        {"Z:\\", "Z:\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.start);
        Pilot.Answer("Cancel");
        AnsiString folder = c.start;
        EXPECT_FALSE(SelectDirectory(folder, kAllOptions, 0));
        EXPECT_EQ(folder, c.start) << "Cancel leaves the folder";
        EXPECT_EQ(Pilot.FolderDialogs().back().Directory, c.shown);
    }
}

TEST_F(FolderDialog, PickingFoldersAndDrivesMovesTheList)
{
    Pilot.OpenFolder("Old");
    Pilot.OpenFolder("C:\\");
    Pilot.OpenFolder("Scans");
    Pilot.OpenFolder("new");
    Pilot.Answer("OK");
    AnsiString folder = "C:\\Scans";
    EXPECT_TRUE(SelectDirectory(folder, kAllOptions, 0));
    EXPECT_EQ(folder, "C:\\Scans\\new");

    Pilot.ChooseDrive('z');
    Pilot.Answer("OK");
    EXPECT_TRUE(SelectDirectory(folder, kAllOptions, 0));
    EXPECT_EQ(folder, "Z:\\");
    EXPECT_EQ(Pilot.FolderDialogs().back().Moves, (Texts{"drive z", "press OK"}));
}

TEST_F(FolderDialog, TypedFolderIsCreatedWithItsParentsOnYes)
{
    Pilot.TypeFolder("C:\\Scans\\A\\B\\C");
    Pilot.Answer("OK");
    Pilot.Answer("&Yes");
    AnsiString folder = "C:\\Scans";
    EXPECT_TRUE(SelectDirectory(folder, kAllOptions, 0));
    EXPECT_EQ(folder, "C:\\Scans\\A\\B\\C");
    EXPECT_TRUE(OnC("Scans/A/B/C"));

    ASSERT_EQ(Pilot.Shown().size(), 1u);
    const auto &question = Pilot.Shown()[0];
    EXPECT_EQ(question.Text, kQuestion);
    EXPECT_EQ(question.Title, "Confirm");
    EXPECT_EQ(question.Icon, "confirmation");
    EXPECT_EQ(question.Buttons, (Texts{"&Yes", "&No"}));
}

TEST_F(FolderDialog, NoToTheQuestionKeepsTheDialogOpenAndCreatesNothing)
{
    Pilot.TypeFolder("C:\\Fresh\\Sub");
    Pilot.Answer("OK");
    Pilot.Answer("&No");
    Pilot.Answer("OK");
    Pilot.AnswerByClosing(); // the question again, closed
    Pilot.Answer("Cancel");
    AnsiString folder = "C:\\Scans";
    EXPECT_FALSE(SelectDirectory(folder, kAllOptions, 0));
    EXPECT_EQ(folder, "C:\\Scans");
    EXPECT_FALSE(OnC("Fresh"));
    EXPECT_EQ(Pilot.Shown().size(), 2u);
    EXPECT_EQ(Shown().Moves, (Texts{"type C:\\Fresh\\Sub", "press OK", "press OK", "press Cancel"}));
}

TEST_F(FolderDialog, OptionsDecideWhetherToAskAndToCreate)
{
    struct Case {
        const char *what;
        TSelectDirOpts options;
        bool asks;
        bool accepted;
        bool created;
    } cases[] = {
        {"all", kAllOptions, true, true, true},
        {"create without asking", TSelectDirOpts() << sdAllowCreate << sdPerformCreate, false, true, true},
        {"ask, leave the creating to the caller", TSelectDirOpts() << sdAllowCreate << sdPrompt, true, true, false},
        {"allow only", TSelectDirOpts() << sdAllowCreate, false, true, false},
        {"none: a missing folder is refused", TSelectDirOpts(), false, false, false},
        {"creating needs sdAllowCreate", TSelectDirOpts() << sdPerformCreate << sdPrompt, false, false, false},
    };
    int made = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "Made" + std::to_string(++made);
        const size_t questions = Pilot.Shown().size();
        Pilot.TypeFolder(name + "\\Inner"); // relative to the listed folder
        Pilot.Answer("OK");
        if (c.asks)
            Pilot.Answer("&Yes");
        if (!c.accepted)
            Pilot.Answer("Cancel");
        AnsiString folder = "C:\\Scans";
        EXPECT_EQ(SelectDirectory(folder, c.options, 0), c.accepted);
        EXPECT_EQ(folder, c.accepted ? "C:\\Scans\\" + name + "\\Inner" : "C:\\Scans");
        EXPECT_EQ(OnC("Scans/" + name + "/Inner"), c.created);
        EXPECT_EQ(Pilot.Shown().size(), questions + (c.asks ? 1 : 0));
    }
}

TEST_F(FolderDialog, AFolderThatCannotBeCreatedIsReportedAndTheDialogStays)
{
    ASSERT_TRUE(testsupport::WriteText(FRoot.Path() + "/drives/c/Scans/file", "in the way"));
    Pilot.TypeFolder("C:\\Scans\\file\\Sub");
    Pilot.Answer("OK");
    Pilot.Answer("&Yes");
    Pilot.Answer("OK"); // the error
    Pilot.Answer("Cancel");
    AnsiString folder = "C:\\Scans";
    EXPECT_FALSE(SelectDirectory(folder, kAllOptions, 0));
    ASSERT_EQ(Pilot.Shown().size(), 2u);
    EXPECT_EQ(Pilot.Shown()[1].Kind, mtError);
    EXPECT_EQ(Pilot.Shown()[1].Text, "Unable to create directory.");
    EXPECT_FALSE(OnC("Scans/file/Sub"));
}

TEST_F(FolderDialog, ClosingTheWindowCancels)
{
    Pilot.TypeFolder("C:\\Scans\\Old");
    Pilot.AnswerByClosing();
    AnsiString folder = "C:\\Scans";
    EXPECT_FALSE(SelectDirectory(folder, kAllOptions, 0));
    EXPECT_EQ(folder, "C:\\Scans");
    EXPECT_FALSE(Shown().Accepted);
}

TEST_F(FolderDialog, IsSavedAsAPicture)
{
    const std::string file = std::string(ARV_PICTURES_DIR) + "/select-directory.png";
    ASSERT_EQ(system(("mkdir -p '" + std::string(ARV_PICTURES_DIR) + "'").c_str()), 0);
    remove(file.c_str());
    Pilot.SavePicture(file);
    Pilot.Answer("Cancel");
    AnsiString folder = "C:\\Scans";
    SelectDirectory(folder, kAllOptions, 0);
    EXPECT_FALSE(testsupport::ReadBytes(file).empty()) << file;
}

} // namespace
