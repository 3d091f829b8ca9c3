// The label buttons: the looks and font sizes of the six picture buttons
// state by state and event by event, the four text buttons, and the command
// that a release of any mouse button issues.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "FormPilot.h"
#include "Picture.h"
#include "Graphic.h"
#include "WizardFixture.h"

namespace installer_test {
namespace {

using classlib_testing::TFormPilot;

enum TLook { kNormal = 0, kHover = 1, kPressed = 2, kOther = -1 };

bool SamePicture(TImage *a, TImage *b)
{
    const TGraphic *ga = a->Picture()->Graphic();
    const TGraphic *gb = b->Picture()->Graphic();
    if (!ga || !gb)
        return false;
    // The button pictures leave their key colour undrawn; the looks do not.
    std::unique_ptr<TGraphic> ca = ga->Copy(), cb = gb->Copy();
    ca->SetTransparent(false);
    cb->SetTransparent(false);
    return ca->Image() == cb->Image();
}

TLook LookOf(TForm2 *w, TImage *picture)
{
    if (SamePicture(picture, w->ImgOut))
        return kNormal;
    if (SamePicture(picture, w->ImgOver))
        return kHover;
    if (SamePicture(picture, w->ImgDown))
        return kPressed;
    return kOther;
}

struct PictureButton {
    const char *label;
    int index;
};

const PictureButton kPictureButtons[] = {{"LChap1", 0}, {"LChap2", 1}, {"LChap3", 2},
                                         {"LChap4", 3}, {"LExit2", 4}, {"LContinue", 5}};

TLabel *LabelOf(TForm2 *w, const char *name) { return qobject_cast<TLabel *>(w->FindComponent(name)); }

TImage *PictureOf(TForm2 *w, int index)
{
    TImage *const pictures[6] = {w->Img1, w->Img2, w->Img3, w->Img4, w->Img5, w->Img6};
    return pictures[index];
}

// The published handlers of a picture button, called as the label calls them.
struct Handlers {
    std::function<void(TObject *)> enter, leave;
    std::function<void(TObject *, TMouseButton)> down, up;
};

Handlers HandlersOf(TForm2 *w, int index)
{
    auto mouse = [w](void (TForm2::*m)(TObject *, TMouseButton, TShiftState, int, int)) {
        return [w, m](TObject *s, TMouseButton b) { (w->*m)(s, b, TShiftState(), 3, 3); };
    };
    auto notify = [w](void (TForm2::*m)(TObject *)) { return [w, m](TObject *s) { (w->*m)(s); }; };
    switch (index) {
    case 0:
        return {notify(&TForm2::LChap1MouseEnter), notify(&TForm2::LChap1MouseLeave),
                mouse(&TForm2::SChap1MouseDown), mouse(&TForm2::LChap1MouseUp)};
    case 1:
        return {notify(&TForm2::LChap2MouseEnter), notify(&TForm2::LChap2MouseLeave),
                mouse(&TForm2::LChap2MouseDown), mouse(&TForm2::LChap2MouseUp)};
    case 2:
        return {notify(&TForm2::LChap3MouseEnter), notify(&TForm2::LChap3MouseLeave),
                mouse(&TForm2::LChap3MouseDown), mouse(&TForm2::LChap3MouseUp)};
    case 3:
        return {notify(&TForm2::LChap4MouseEnter), notify(&TForm2::LChap4MouseLeave),
                mouse(&TForm2::LChap4MouseDown), mouse(&TForm2::LChap4MouseUp)};
    case 4:
        return {notify(&TForm2::LExit2MouseEnter), notify(&TForm2::LExit2MouseLeave),
                mouse(&TForm2::LExit2MouseDown), mouse(&TForm2::LExit2MouseUp)};
    default:
        return {notify(&TForm2::LContinueMouseEnter), notify(&TForm2::LContinueMouseLeave),
                mouse(&TForm2::LContinueMouseDown), mouse(&TForm2::LContinueMouseUp)};
    }
}

enum TEvent { kEnter, kLeave, kPress, kRelease };

struct Transition {
    int from;     // state before
    TEvent event;
    int to;       // state after
    TLook look;   // picture after; kOther: unchanged
    int fontSize; // after; 0: unchanged
};

// The state table of a picture button.
const Transition kTransitions[] = {
    {0, kEnter, 1, kHover, 20},   {1, kEnter, 1, kOther, 0},    {2, kEnter, 1, kHover, 20},
    {0, kLeave, 0, kOther, 0},    {1, kLeave, 0, kNormal, 18},  {2, kLeave, 0, kNormal, 18},
    {0, kPress, 2, kPressed, 0},  {1, kPress, 2, kPressed, 0},  {2, kPress, 2, kOther, 0},
    {0, kRelease, 1, kHover, 0},  {1, kRelease, 1, kOther, 0},  {2, kRelease, 1, kHover, 0},
};

TEST_F(WizardTest, PictureButtonsFollowTheStateTableForEveryMouseButton)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    // A progress page ignores every command the buttons issue but Exit.
    w->ShowPage(5);
    for (const PictureButton &button : kPictureButtons) {
        TLabel *label = LabelOf(w, button.label);
        TImage *picture = PictureOf(w, button.index);
        const Handlers h = HandlersOf(w, button.index);
        for (TMouseButton mouse : {mbLeft, mbRight, mbMiddle}) {
            for (const Transition &t : kTransitions) {
                SCOPED_TRACE(std::string(button.label) + " mouse " + std::to_string(mouse) + " from " +
                             std::to_string(t.from) + " event " + std::to_string(t.event));
                // A look and size that no event sets, to see what the event changes.
                w->FHover[button.index] = static_cast<unsigned char>(t.from);
                picture->Picture()->Assign(w->Img_UK->Picture());
                label->Font()->SetSize(7);

                switch (t.event) {
                case kEnter:
                    h.enter(label);
                    break;
                case kLeave:
                    h.leave(label);
                    break;
                case kPress:
                    h.down(label, mouse);
                    break;
                case kRelease:
                    h.up(label, mouse);
                    break;
                }
                EXPECT_EQ(w->FHover[button.index], t.to);
                if (t.look == kOther)
                    EXPECT_TRUE(SamePicture(picture, w->Img_UK));
                else
                    EXPECT_EQ(LookOf(w, picture), t.look);
                EXPECT_EQ(label->Font()->Size(), t.fontSize ? t.fontSize : 7);
                EXPECT_EQ(w->FPage, 5);
            }
        }
    }
    // Only the button's own entry changes.
    w->FHover[0] = 0;
    w->FHover[1] = 2;
    w->LChap1MouseEnter(w->LChap1);
    EXPECT_EQ(w->FHover[1], 2);
}

// A user's click with each mouse button: enter, press, release, leave.
TEST_F(WizardTest, ClickWithAnyMouseButtonShowsEachLookInTurn)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    w->ShowPage(4);
    TFormPilot pilot;
    for (const PictureButton &button : {kPictureButtons[0], kPictureButtons[1], kPictureButtons[2],
                                        kPictureButtons[3], kPictureButtons[5]}) {
        TLabel *label = LabelOf(w, button.label);
        TImage *picture = PictureOf(w, button.index);
        for (TMouseButton mouse : {mbLeft, mbRight, mbMiddle}) {
            SCOPED_TRACE(std::string(button.label) + " mouse " + std::to_string(mouse));
            pilot.MoveTo(label);
            EXPECT_EQ(LookOf(w, picture), kHover);
            EXPECT_EQ(label->Font()->Size(), 20);
            pilot.Press(mouse);
            EXPECT_EQ(LookOf(w, picture), kPressed);
            EXPECT_EQ(label->Font()->Size(), 20);
            pilot.Release(mouse);
            EXPECT_EQ(LookOf(w, picture), kHover);
            EXPECT_EQ(w->FHover[button.index], 1);
            pilot.MoveOut(label);
            EXPECT_EQ(LookOf(w, picture), kNormal);
            EXPECT_EQ(label->Font()->Size(), 18);
            EXPECT_EQ(w->FHover[button.index], 0);
        }
    }
    EXPECT_EQ(w->FPage, 4);
}

TEST_F(WizardTest, PressThenLeaveThenReleaseStillIssuesTheCommand)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    w->ShowPage(16);
    TFormPilot pilot;
    pilot.MoveTo(w->LContinue);
    pilot.Press(mbLeft);
    pilot.MoveOut(w->LContinue);
    EXPECT_EQ(w->FHover[5], 0);
    EXPECT_EQ(LookOf(w, w->Img6), kNormal);
    EXPECT_EQ(w->LContinue->Font()->Size(), 18);
    pilot.Release(mbLeft);
    EXPECT_EQ(w->FHover[5], 1);
    EXPECT_EQ(LookOf(w, w->Img6), kHover);
    EXPECT_EQ(w->FPage, 17);
}

TEST_F(WizardTest, TextButtonsGrowUnderThePointer)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    w->ShowPage(1);
    TFormPilot pilot;
    EXPECT_EQ(w->LBrowse->Font()->Size(), 14);
    const struct {
        TLabel *label;
        int grown, rest;
    } buttons[] = {{w->LExit, 14, 12}, {w->LPrev, 14, 12}, {w->LMenu, 14, 12}, {w->LBrowse, 20, 18}};
    for (const auto &b : buttons) {
        EXPECT_EQ(b.label->Cursor(), crHandPoint) << b.label->Name();
        for (int round = 0; round < 2; ++round) {
            pilot.MoveTo(b.label);
            EXPECT_EQ(b.label->Font()->Size(), b.grown) << b.label->Name();
            pilot.MoveOut(b.label);
            EXPECT_EQ(b.label->Font()->Size(), b.rest) << b.label->Name();
        }
    }
}

TEST_F(WizardTest, FolderPageLinesDoNotGrowButStillIssueTheirCommands)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    w->ShowPage(1);
    TFormPilot pilot;
    for (TLabel *label : {w->LChap1, w->LChap3}) {
        pilot.MoveTo(label);
        EXPECT_EQ(label->Font()->Size(), 13) << label->Name();
        pilot.Click(label, mbRight);
        pilot.MoveOut(label);
        EXPECT_EQ(label->Font()->Size(), 13) << label->Name();
    }
    EXPECT_EQ(w->FPage, 1);
    // The clicks left the hover state behind, as no leave ran; the next page
    // restores the size and the events, and the first crossing ends it.
    EXPECT_EQ(w->FHover[2], 1);
    w->ShowPage(0);
    EXPECT_EQ(w->LChap3->Font()->Size(), 18);
    pilot.MoveTo(w->LChap3);
    EXPECT_EQ(w->LChap3->Font()->Size(), 18);
    pilot.MoveOut(w->LChap3);
    pilot.MoveTo(w->LChap3);
    EXPECT_EQ(w->LChap3->Font()->Size(), 20);
}

// Install Drivers leaves its hover look behind: page 1 unbinds its leave.
TEST_F(WizardTest, HomeEntryKeepsItsHoverLookAfterTheFolderPage)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    TFormPilot pilot;
    pilot.Click(w->LChap1);
    ASSERT_EQ(w->FPage, 1);
    pilot.MoveOut(w->LChap1);
    pilot.Click(w->LMenu);
    ASSERT_EQ(w->FPage, 0);
    EXPECT_EQ(w->FHover[0], 1);
    EXPECT_EQ(LookOf(w, w->Img1), kHover);
    pilot.MoveTo(w->LChap1);
    EXPECT_EQ(w->LChap1->Font()->Size(), 18) << "the first enter changes nothing";
    pilot.MoveOut(w->LChap1);
    EXPECT_EQ(LookOf(w, w->Img1), kNormal);
    EXPECT_EQ(w->FHover[0], 0);
}

// Each button's release issues its own command on the page showing.
TEST_F(WizardTest, ReleasesIssueTheLabelsCommands)
{
    RegisterMonitor();
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->Show();
    TFormPilot pilot;
    const struct {
        unsigned page;
        TLabel *label;
        int next; // page after; -1: the wizard closed
    } cases[] = {{0, w->LChap1, 1},   {1, w->LPrev, 0},      {0, w->LChap2, 12}, {16, w->LContinue, 17},
                 {3, w->LMenu, 0},    {10, w->LExit2, -1}};
    for (const auto &c : cases) {
        w->Timer1->SetEnabled(false);
        w->ShowPage(c.page);
        pilot.Click(c.label, mbMiddle);
        if (c.next < 0)
            EXPECT_TRUE(Application->Terminated()) << c.label->Name();
        else
            EXPECT_EQ(w->FPage, c.next) << c.label->Name();
    }
    w->Timer1->SetEnabled(false);
}

// Every caption that grows under the pointer fits inside the window's
// picture at its largest size, on each page where it shows, in the three
// languages. The one that is too wide, the French hint of the waiting page,
// is not our wording and stays as it is.
TEST_F(WizardTest, GrownCaptionsFitInsideTheWindow)
{
    RegisterMonitor();
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    const struct {
        TLabel *label;
        int grown;
    } growing[] = {{w->LChap1, 20}, {w->LChap2, 20},  {w->LChap3, 20}, {w->LChap4, 20},
                   {w->LContinue, 20}, {w->LExit2, 20}, {w->LBrowse, 20}, {w->LExit, 14},
                   {w->LPrev, 14},  {w->LMenu, 14}};
    // Inside the background picture, within the panel's border.
    const int right = w->IBg->Left() + w->IBg->Width();
    std::vector<std::string> tooWide;
    const struct {
        int language;
        TImage *flag;
    } languages[] = {{kEnglish, w->Img_UK}, {kFrench, w->Img_FR}, {kChinese, w->Img_CN}};
    for (const auto &l : languages) {
        const int language = l.language;
        l.flag->Click();
        ASSERT_EQ(w->FLanguage, language);
        for (unsigned page = 0; page <= 18; ++page) {
            w->ShowPage(page);
            for (const auto &g : growing) {
                // Page 1's two lines do not grow.
                if (!g.label->Visible() || (page == 1 && (g.label == w->LChap1 || g.label == w->LChap3)))
                    continue;
                const int rest = g.label->Font()->Size();
                g.label->Font()->SetSize(g.grown);
                const bool fits = g.label->Left() >= right - w->IBg->Width() && g.label->Left() + g.label->Width() <= right;
                g.label->Font()->SetSize(rest);
                if (!fits)
                    tooWide.push_back(std::to_string(language) + " page " + std::to_string(page) + " " +
                                      g.label->Name().str());
            }
        }
    }
    EXPECT_EQ(tooWide, (std::vector<std::string>{"1036 page 9 LChap3"}));
}

} // namespace
} // namespace installer_test
