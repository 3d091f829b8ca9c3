// Every wizard page in the three languages: title, labels, their colours and
// cursors, the buttons shown, the folder field and the background; and the
// flags redrawing the page showing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QFontMetrics>
#include <QTimer>

#include "Application.h"
#include "DialogPilot.h"
#include "Gb2312Text.h"
#include "Message.h"
#include "FormPilot.h"
#include "WizardFixture.h"

namespace installer_test {
namespace {

constexpr TColor kNormal = static_cast<TColor>(0x874A07);
constexpr TColor kPending = static_cast<TColor>(0xD6A876);

enum TContinue { kNoContinue, kActive, kWaiting };

struct Page {
    unsigned number;
    int title;
    int chap[4];       // text ids; 0 empty
    bool picture[4];   // button picture beside the label
    bool pending[4];   // label in the pending colour
    int midText;
    int midTextSize;
    bool exit, prev, menu, exit2;
    TContinue next;
};

// The page table as the wizard must draw it.
const Page kPages[] = {
    {0, 4, {9, 11, 8, 0}, {true, true, true, false}, {}, 0, 14, true, false, false, false, kNoContinue},
    {1, 9, {10, 0, 31, 0}, {}, {}, 0, 14, true, true, true, false, kActive},
    {3, 9, {}, {}, {}, 12, 14, true, true, true, false, kActive},
    {4, 9, {14, 15, 16, 17}, {}, {false, true, true, true}, 0, 14, true, false, false, false, kWaiting},
    {5, 9, {14, 15, 16, 17}, {}, {false, false, true, true}, 0, 14, true, false, false, false, kWaiting},
    {6, 9, {14, 15, 16, 17}, {}, {false, false, false, true}, 0, 14, true, false, false, false, kWaiting},
    {7, 9, {14, 15, 16, 17}, {}, {}, 0, 14, true, false, false, false, kWaiting},
    {8, 9, {14, 15, 16, 17}, {}, {}, 0, 14, true, false, false, false, kActive},
    {9, 9, {18, 0, 24, 0}, {}, {}, 0, 14, true, false, true, false, kNoContinue},
    {10, 9, {30, 0, 25, 0}, {}, {}, 0, 14, false, false, true, true, kNoContinue},
    {11, 9, {27, 0, 0, 0}, {}, {}, 26, 10, false, false, false, true, kNoContinue},
    {12, 11, {19, 20, 21, 22}, {}, {false, true, true, true}, 0, 14, true, false, false, false, kWaiting},
    {13, 11, {19, 20, 21, 22}, {}, {false, false, true, true}, 0, 14, true, false, false, false, kWaiting},
    {14, 11, {19, 20, 21, 22}, {}, {false, false, false, true}, 0, 14, true, false, false, false, kWaiting},
    {15, 11, {19, 20, 21, 22}, {}, {}, 0, 14, true, false, false, false, kWaiting},
    {16, 11, {19, 20, 21, 22}, {}, {}, 0, 14, true, false, false, false, kActive},
    {17, 11, {}, {}, {}, 23, 16, false, false, false, true, kNoContinue},
    {18, 11, {28, 0, 0, 0}, {}, {}, 29, 10, false, false, false, true, kNoContinue},
    // Numbers outside the table leave a blank page.
    {2, 0, {}, {}, {}, 0, 14, false, false, false, false, kNoContinue},
    {19, 0, {}, {}, {}, 0, 14, false, false, false, false, kNoContinue},
    {255, 0, {}, {}, {}, 0, 14, false, false, false, false, kNoContinue},
};

struct PageCase {
    Page page;
    int language;
};

void PrintTo(const PageCase &c, std::ostream *os) { *os << "page " << c.page.number << " in " << c.language; }

std::vector<PageCase> AllPages()
{
    std::vector<PageCase> cases;
    for (int language : {kEnglish, kFrench, kChinese}) {
        for (const Page &page : kPages)
            cases.push_back({page, language});
    }
    return cases;
}

class PageTest : public WizardTest, public testing::WithParamInterface<PageCase> {};

// Checks the page showing against `expected` in `language`.
void ExpectPage(TForm2 *w, const Page &expected, int language)
{
    SCOPED_TRACE("page " + std::to_string(expected.number) + " in " + std::to_string(language));
    EXPECT_EQ(w->FPage, static_cast<int>(expected.number));
    EXPECT_EQ(w->LTitle->Caption(), expected.title ? Text(expected.title, language) : AnsiString());

    TLabel *const chaps[4] = {w->LChap1, w->LChap2, w->LChap3, w->LChap4};
    TImage *const pictures[4] = {w->Img1, w->Img2, w->Img3, w->Img4};
    const int folderPage = expected.number == 1;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("LChap" + std::to_string(i + 1));
        const AnsiString caption = expected.chap[i] ? Text(expected.chap[i], language) : AnsiString();
        EXPECT_EQ(chaps[i]->Caption(), caption);
        EXPECT_EQ(chaps[i]->Visible(), !caption.IsEmpty());
        EXPECT_EQ(pictures[i]->Visible(), expected.picture[i]);
        EXPECT_EQ(chaps[i]->Cursor(), expected.picture[i] ? crHandPoint : crDefault);
        EXPECT_EQ(chaps[i]->Font()->Color(), expected.pending[i] ? kPending : kNormal);
    }
    // Page 1 shows its two lines smaller and without hover.
    for (TLabel *label : {w->LChap1, w->LChap3}) {
        EXPECT_EQ(label->Font()->Size(), folderPage ? 13 : 18) << label->Name();
        EXPECT_EQ(label->OnMouseEnter().Assigned(), !folderPage) << label->Name();
        EXPECT_EQ(label->OnMouseLeave().Assigned(), !folderPage) << label->Name();
    }

    EXPECT_EQ(w->LMidText->Caption(), expected.midText ? Text(expected.midText, language) : AnsiString());
    EXPECT_EQ(w->LMidText->Font()->Size(), expected.midTextSize);

    EXPECT_EQ(w->LExit->Visible(), expected.exit);
    EXPECT_EQ(w->LPrev->Visible(), expected.prev);
    EXPECT_EQ(w->LMenu->Visible(), expected.menu);
    EXPECT_EQ(w->LExit2->Visible(), expected.exit2);
    EXPECT_EQ(w->Img5->Visible(), expected.exit2);
    EXPECT_EQ(w->LExit2->Cursor(), expected.exit2 ? crHandPoint : crDefault);

    EXPECT_EQ(w->LContinue->Visible(), expected.next != kNoContinue);
    EXPECT_EQ(w->Img6->Visible(), expected.next == kActive);
    EXPECT_EQ(w->LContinue->Cursor(), expected.next == kActive ? crHandPoint : crDefault);
    EXPECT_EQ(w->LContinue->Font()->Color(), expected.next == kWaiting ? kPending : kNormal);

    EXPECT_EQ(w->EPath->Visible(), folderPage);
    EXPECT_EQ(w->LBrowse->Visible(), folderPage);
    if (folderPage) {
        EXPECT_EQ(w->EPath->Text(), *w->FInstallDir);
        EXPECT_EQ(w->LBrowse->Caption(), Text(32, language));
    }

    EXPECT_EQ(w->IHomeBg->Visible(), expected.number == 0);
    EXPECT_EQ(w->IBg->Visible(), expected.number != 0);
    for (TImage *flag : {w->Img_CN, w->Img_FR, w->Img_UK})
        EXPECT_TRUE(flag->Visible()) << flag->Name();
    EXPECT_FALSE(w->ProgressBar1->Visible());

    // Set once a language is chosen, whatever the page.
    EXPECT_EQ(w->LExit->Caption(), Text(3, language));
    EXPECT_EQ(w->LExit2->Caption(), Text(3, language));
    EXPECT_EQ(w->LContinue->Caption(), Text(13, language));
    EXPECT_EQ(w->LPrev->Caption(), Text(1, language));
    EXPECT_EQ(w->LMenu->Caption(), Text(2, language));
}

TEST_P(PageTest, DrawsThePageTable)
{
    const PageCase &c = GetParam();
    RegisterMonitor();
    CreateWizard(c.language);
    ASSERT_EQ(Wizard()->FLanguage, c.language);
    Wizard()->ShowPage(c.page.number);
    ExpectPage(Wizard(), c.page, c.language);
}

INSTANTIATE_TEST_SUITE_P(Wizard, PageTest, testing::ValuesIn(AllPages()),
                         [](const testing::TestParamInfo<PageCase> &info) {
                             return "Page" + std::to_string(info.param.page.number) + "In" +
                                    std::to_string(info.param.language);
                         });

// ---- Start-up and the home page ----------------------------------------------------

TEST_F(WizardTest, StartsOnTheHomePageInTheSystemLanguage)
{
    CreateWizard(kFrench);
    EXPECT_EQ(Wizard()->FLanguage, kFrench);
    EXPECT_EQ(Wizard()->FPage, 0);
    EXPECT_EQ(Wizard()->LTitle->Caption(), Text(4, kFrench));
    EXPECT_EQ(Wizard()->B_FR->Style(), bsLowered);
    EXPECT_EQ(Wizard()->B_CN->Style(), bsRaised);
    EXPECT_EQ(Wizard()->B_UK->Style(), bsRaised);
    EXPECT_EQ(*Wizard()->FInstallDir, "C:\\Program Files\\Veltrona\\Norvik");
    EXPECT_FALSE(Wizard()->Timer1->Enabled());
    EXPECT_EQ(Wizard()->Timer1->Interval(), 500);
    EXPECT_FALSE(Wizard()->Timer2->Enabled());
    EXPECT_FALSE(Wizard()->Timer3->Enabled());
    for (unsigned char state : Wizard()->FHover)
        EXPECT_EQ(state, 0);
    EXPECT_TRUE(Wizard()->FComPort.IsEmpty());
}

TEST_F(WizardTest, HomePageOffersUninstallingOnlyWithTheMonitorRegistered)
{
    CreateWizard(kEnglish);
    EXPECT_FALSE(Wizard()->LChap2->Visible());
    EXPECT_FALSE(Wizard()->Img2->Visible());
    EXPECT_TRUE(Wizard()->LChap3->Visible());
    EXPECT_EQ(Wizard()->LChap3->Caption(), "Browse Contents");

    RegisterMonitor();
    Wizard()->ShowPage(0);
    EXPECT_TRUE(Wizard()->LChap2->Visible());
    EXPECT_TRUE(Wizard()->Img2->Visible());
    EXPECT_EQ(Wizard()->LChap2->Caption(), "Uninstall Drivers");
}

// The install folder's default: "PROGRAMFILES" when it fits its 400-byte
// buffer, else the system drive's Program Files folder.
TEST_F(WizardTest, DefaultInstallFolderFollowsProgramFilesWhenItFits)
{
    const std::string fits = "C:\\" + std::string(396, 'p');
    const std::string tooLong = "C:\\" + std::string(397, 'p');
    const struct {
        const char *name;
        bool set;
        std::string value;
        std::string folder;
    } cases[] = {
        {"set", true, "D:\\Programs", "D:\\Programs\\Veltrona\\Norvik"},
        {"not set", false, "", "C:\\Program Files\\Veltrona\\Norvik"},
        {"empty", true, "", "C:\\Program Files\\Veltrona\\Norvik"},
        {"399 characters", true, fits, fits + "\\Veltrona\\Norvik"},
        {"400 characters", true, tooLong, "C:\\Program Files\\Veltrona\\Norvik"},
    };
    for (const auto &c : cases) {
        if (c.set)
            FEnvironment.Set("PROGRAMFILES", c.value);
        else
            FEnvironment.Clear("PROGRAMFILES");
        CreateWizard(kEnglish);
        EXPECT_EQ(*Wizard()->FInstallDir, c.folder) << c.name;
        Application.Reset();
    }
}

// A system language the wizard has no texts for: no language is chosen and
// no page drawn; the home picture and the flags are all there is to act on.
TEST_F(WizardTest, UnknownSystemLanguageShowsOnlyTheFlags)
{
    CreateWizard(1031);
    TForm2 *w = Wizard();
    EXPECT_EQ(w->FLanguage, 1031);
    EXPECT_EQ(w->GetLangText(3), "");
    EXPECT_TRUE(w->IHomeBg->Visible());
    EXPECT_FALSE(w->IBg->Visible());
    for (TLabel *label : {w->LTitle, w->LMidText})
        EXPECT_TRUE(label->Caption().IsEmpty()) << label->Name();
    for (TControl *control : std::initializer_list<TControl *>{
             w->LChap1, w->LChap2, w->LChap3, w->LChap4, w->Img1, w->Img2, w->Img3, w->Img4, w->LContinue, w->Img6,
             w->LExit2, w->Img5, w->LExit, w->LPrev, w->LMenu, w->EPath, w->LBrowse})
        EXPECT_FALSE(control->Visible()) << control->Name();
    for (TImage *flag : {w->Img_CN, w->Img_FR, w->Img_UK})
        EXPECT_TRUE(flag->Visible()) << flag->Name();
    EXPECT_EQ(w->B_CN->Style(), bsLowered);

    w->Img_UK->Click();
    EXPECT_EQ(w->FLanguage, kEnglish);
    EXPECT_EQ(w->FPage, 0);
    EXPECT_EQ(w->LTitle->Caption(), "SELVIO HOMEBAY");
    EXPECT_EQ(w->B_CN->Style(), bsRaised);
    EXPECT_EQ(w->B_UK->Style(), bsLowered);
}

// ---- Flags --------------------------------------------------------------------------

TEST_F(WizardTest, FlagsRedrawTheHomePageInTheirLanguage)
{
    RegisterMonitor();
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    // Clicked where the user clicks: each flag lies inside its frame.
    classlib_testing::TFormPilot pilot;
    const struct {
        TImage *flag;
        TBevel *bevel;
        int language;
    } flags[] = {{w->Img_CN, w->B_CN, kChinese}, {w->Img_FR, w->B_FR, kFrench}, {w->Img_UK, w->B_UK, kEnglish},
                 {w->Img_UK, w->B_UK, kEnglish}};
    for (const auto &f : flags) {
        pilot.Click(f.flag);
        EXPECT_EQ(w->FLanguage, f.language);
        for (TBevel *bevel : {w->B_CN, w->B_FR, w->B_UK})
            EXPECT_EQ(bevel->Style(), bevel == f.bevel ? bsLowered : bsRaised) << bevel->Name();
        ExpectPage(w, kPages[0], f.language);
    }
}

TEST_F(WizardTest, FlagOnTheFolderPageTakesTheInstallFolderAgain)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->ShowPage(1);
    w->EPath->SetText("C:\\Picked\\But\\Not\\Taken");
    w->Img_FR->Click();
    ExpectPage(w, kPages[1], kFrench);
    EXPECT_EQ(w->EPath->Text(), "C:\\Program Files\\Veltrona\\Norvik");
}

TEST_F(WizardTest, FlagOnTheWaitingPageClearsTheDots)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->ShowPage(9);
    w->LChap4->SetCaption("...");
    w->LChap4->SetVisible(true);
    w->Img_CN->Click();
    ExpectPage(w, kPages[8], kChinese);
    EXPECT_EQ(w->LChap4->Caption(), "");
}

TEST_F(WizardTest, FlagDuringARunRedrawsTheProgressPageAndLeavesTheRun)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->ShowPage(13);
    w->FInstalling = 0;
    w->FActionDue = 1;
    w->FStep = 2;
    w->Timer1->SetEnabled(true);
    w->Img_FR->Click();
    ExpectPage(w, kPages[12], kFrench);
    EXPECT_EQ(w->FStep, 2);
    EXPECT_EQ(w->FActionDue, 1);
    EXPECT_TRUE(w->Timer1->Enabled());
    w->Timer1->SetEnabled(false);
}

TEST_F(WizardTest, TextLookupFollowsTheLanguageWithoutFallback)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    const struct {
        int language;
        int id;
        const char *text;
    } cases[] = {{kEnglish, 33, "Directory does not exists.\r\nDo you want to create it ?"},
                 {kEnglish, 0, ""},
                 {kEnglish, 85, ""},
                 {kEnglish, 255, ""},
                 {kFrench, 26, ""},
                 {kChinese, 36, ""},
                 {1031, 3, ""},
                 {0, 1, ""}};
    for (const auto &c : cases) {
        w->FLanguage = c.language;
        EXPECT_EQ(w->GetLangText(static_cast<unsigned char>(c.id)), c.text) << c.language << " " << c.id;
    }
}

// The table's Chinese texts are GB2312 bytes: with the Chinese flag they
// read as Chinese on every machine, in the labels, the folder questions and
// the message window; English and French read in the machine's code page.
class ChineseOnAnyMachineTest : public WizardTest, public testing::WithParamInterface<int> {};

// A label's lines, joined by `separator`.
std::string Shown(TLabel *label, const char *separator = "\n")
{
    return label->ShownLines().join(QLatin1String(separator)).toStdString();
}

std::string Chinese(int id)
{
    std::string utf8;
    EXPECT_TRUE(testsupport::Utf8FromGb2312(Text(id, kChinese).str(), utf8)) << id;
    for (size_t at; (at = utf8.find("\r\n")) != std::string::npos;)
        utf8.replace(at, 2, "\n");
    return utf8;
}

TEST_P(ChineseOnAnyMachineTest, ChineseTextsReadAsGb2312)
{
    CreateWizard(GetParam());
    TForm2 *w = Wizard();
    w->Show();
    w->Img_CNClick(w->Img_CN);
    EXPECT_EQ(Shown(w->LTitle), Chinese(4));
    EXPECT_EQ(Shown(w->LChap1), Chinese(9));
    EXPECT_EQ(Shown(w->LChap3), Chinese(8));
    EXPECT_EQ(Shown(w->LExit), Chinese(3));

    // Page 3's text wraps inside its label.
    w->ShowPage(3);
    const QStringList lines = w->LMidText->ShownLines();
    EXPECT_EQ(Shown(w->LMidText, ""), Chinese(12));
    EXPECT_GT(lines.size(), 1);
    const QFontMetrics metrics(w->LMidText->Font()->ToQFont());
    for (const QString &line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), w->LMidText->Width()) << line.toStdString();

    // The folder questions, and the message window of the steps.
    classlib_testing::TDialogPilot pilot;
    pilot.Answer("&Yes");
    pilot.Answer("&Abort");
    w->ShowPage(1);
    w->EPath->SetText("Q:\\Fax");
    w->HandleCommand("SContinue", 1);
    ASSERT_EQ(pilot.Shown().size(), 2u);
    EXPECT_EQ(pilot.Shown()[0].Text, Chinese(33));
    EXPECT_EQ(pilot.Shown()[0].Bytes, Text(33, kChinese).str());
    EXPECT_EQ(pilot.Shown()[1].Text, Chinese(34));
    std::string title, message;
    QTimer::singleShot(0, [&] {
        title = Shown(Message_Form->LTitle);
        message = Shown(Message_Form->LMessage, ""); // wrapped
        classlib_testing::TFormPilot().Click(Message_Form->BitBtn1);
    });
    Message_Form->Display(w->GetLangText(79), w->GetLangText(70));
    EXPECT_EQ(title, Chinese(79));
    EXPECT_EQ(message, Chinese(70));

    // Back in French the labels read the machine's code page again.
    w->Img_FRClick(w->Img_FR);
    w->ShowPage(0);
    EXPECT_EQ(Shown(w->LChap1), "Installer les pilotes");
    EXPECT_EQ(w->LChap1->Font()->Charset(), ANSI_CHARSET);
}

INSTANTIATE_TEST_SUITE_P(Machines, ChineseOnAnyMachineTest, testing::Values(kEnglish, kFrench, kChinese),
                         [](const testing::TestParamInfo<int> &info) { return std::to_string(info.param); });

} // namespace
} // namespace installer_test
