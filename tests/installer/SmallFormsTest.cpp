// The message window of the steps' failures and the folder chooser.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTimer>

#include <string>
#include <utility>
#include <vector>

#include "Choose_folder.h"
#include "DialogPilot.h"
#include "FormPilot.h"
#include "Message.h"
#include "WizardFixture.h"
#include "machine/Paths.h"
#include "windows.h"

namespace installer_test {
namespace {

using classlib_testing::TDialogPilot;
using classlib_testing::TFormPilot;

bool IsFolder(const char *windowsPath)
{
    struct stat info;
    return stat(machine::UnixPath(windowsPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct Shown {
    AnsiString title;
    AnsiString message;
    bool visible;
};

// Shows a failure as the steps do and closes the window with OK once it is
// up; what the window showed.
Shown Report(int titleId, int messageId, const std::string &picture = "")
{
    Shown shown{};
    QTimer::singleShot(0, [&] {
        shown = {Message_Form->LTitle->Caption(), Message_Form->LMessage->Caption(), Message_Form->Visible()};
        if (!picture.empty())
            classlib_testing::SavePicture(Message_Form, "installer_tests/MessageForm", picture);
        TFormPilot().Click(Message_Form->BitBtn1);
    });
    Message_Form->Display(Form2->GetLangText(static_cast<unsigned char>(titleId)),
                          Form2->GetLangText(static_cast<unsigned char>(messageId)));
    return shown;
}

TEST_F(WizardTest, MessageWindowShowsTwoFailuresEachOnItsOwn)
{
    CreateWizard(kEnglish);
    ASSERT_FALSE(Message_Form->Visible());

    const Shown first = Report(61, 62);
    EXPECT_TRUE(first.visible);
    EXPECT_EQ(first.title, "Error : Fax Printer already exist.");
    EXPECT_EQ(first.message, "Please, uninstall the previous Fax Printer Driver before to start the new installation.");
    EXPECT_FALSE(Message_Form->Visible());

    const Shown second = Report(36, 52);
    EXPECT_EQ(second.title, "Error: 10");
    EXPECT_EQ(second.message, "System Directory not found");
    EXPECT_FALSE(Message_Form->Visible());
}

TEST_F(WizardTest, MessageWindowInChineseHasNoTitleForNumberedErrors)
{
    CreateWizard(kChinese);
    const Shown shown = Report(44, 77);
    EXPECT_EQ(shown.title, "");
    EXPECT_EQ(shown.message, Text(77, kChinese));
}

// ---- The folder chooser --------------------------------------------------------

class ChooserTest : public WizardTest {
protected:
    void SetUp() override
    {
        CreateWizard(kEnglish);
        ChooseFolder_Form->Show();
        ASSERT_TRUE(ChooseFolder_Form->Visible());
    }
    TChooseFolder_Form *Chooser() const { return ChooseFolder_Form; }
};

TEST_F(ChooserTest, ShowsItsLabelsInTheWizardsLanguage)
{
    EXPECT_EQ(Chooser()->Label2->Caption(), "Please select the installation folder.");
    EXPECT_EQ(Chooser()->Label1->Caption(), "Path :");
    EXPECT_EQ(Chooser()->Label3->Caption(), "Directories :");
    Chooser()->Hide();
    Form2->Img_CN->Click();
    Chooser()->Show();
    EXPECT_EQ(Chooser()->Label2->Caption(), Text(82, kChinese));
    // Without a language the labels are empty.
    Chooser()->Hide();
    Form2->FLanguage = 1031;
    Chooser()->Show();
    EXPECT_EQ(Chooser()->Label2->Caption(), "");
    EXPECT_EQ(Chooser()->Label3->Caption(), "");
}

TEST_F(ChooserTest, OkWithAnExistingFolderCloses)
{
    TDialogPilot pilot;
    Chooser()->EPath->SetText("C:\\Windows");
    Chooser()->BOk->Click();
    EXPECT_TRUE(pilot.NoDialogShown());
    EXPECT_FALSE(Chooser()->Visible());
    EXPECT_EQ(Chooser()->EPath->Text(), "C:\\Windows");
}

TEST_F(ChooserTest, YesMakesTheFolderWithItsParentsAndCloses)
{
    TDialogPilot pilot;
    pilot.Answer("&Yes");
    Chooser()->EPath->SetText("C:\\New\\Place");
    Chooser()->BOk->Click();
    ASSERT_EQ(pilot.Shown().size(), 1u);
    EXPECT_EQ(pilot.Shown()[0].Title, "Confirm");
    EXPECT_EQ(pilot.Shown()[0].Icon, "confirmation");
    EXPECT_EQ(pilot.Shown()[0].Bytes, Text(33, kEnglish).str());
    EXPECT_TRUE(IsFolder("C:\\New\\Place"));
    EXPECT_FALSE(Chooser()->Visible());
}

TEST_F(ChooserTest, NoOrClosingTheQuestionKeepsTheChooserOpen)
{
    TDialogPilot pilot;
    pilot.Answer("&No");
    pilot.AnswerByClosing();
    Chooser()->EPath->SetText("C:\\New\\Place");
    Chooser()->BOk->Click();
    Chooser()->BOk->Click();
    EXPECT_EQ(pilot.Shown().size(), 2u);
    EXPECT_TRUE(pilot.Problems().empty());
    EXPECT_FALSE(IsFolder("C:\\New"));
    EXPECT_TRUE(Chooser()->Visible());
    EXPECT_EQ(Chooser()->EPath->Text(), "C:\\New\\Place");
}

TEST_F(ChooserTest, FolderThatCannotBeMadeIsReportedAndTheChooserStays)
{
    TDialogPilot pilot;
    pilot.Answer("&Yes");
    pilot.Answer("&Abort");
    Chooser()->EPath->SetText("Q:\\Nowhere");
    Chooser()->BOk->Click();
    ASSERT_EQ(pilot.Shown().size(), 2u);
    EXPECT_EQ(pilot.Shown()[1].Title, "Error");
    EXPECT_EQ(pilot.Shown()[1].Icon, "error");
    EXPECT_EQ(pilot.Shown()[1].Bytes, "Creation of the directory failed.");
    EXPECT_EQ(pilot.Shown()[1].Buttons, std::vector<std::string>{"&Abort"});
    EXPECT_TRUE(Chooser()->Visible());
}

TEST_F(ChooserTest, CancelEmptiesThePathAndCloses)
{
    Chooser()->BCancel->Click();
    EXPECT_EQ(Chooser()->EPath->Text(), "");
    EXPECT_FALSE(Chooser()->Visible());
}

TEST_F(ChooserTest, PickedFolderGoesIntoThePath)
{
    Chooser()->DirectoryListBox1->SetDirectory("C:\\Windows");
    EXPECT_EQ(Chooser()->EPath->Text(), "C:\\Windows");
}

} // namespace
} // namespace installer_test
