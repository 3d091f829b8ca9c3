// Edits, memos, progress bars and the tab order, worked through the form
// pilot where a user would; the stacking of siblings; geometry and font
// sizes past the pixel bounds.

#include <climits>
#include <functional>
#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "Edit.h"
#include "Font.h"
#include "Form.h"
#include "FormPilot.h"
#include "FormsTestSupport.h"
#include "Label.h"
#include "Memo.h"
#include "Panel.h"
#include "Pixels.h"
#include "ProgressBar.h"
#include "WinControl.h"

namespace {

using classlib_testing::TFormPilot;

class Components : public formstest::FormsTest {
protected:
    void SetUp() override
    {
        formstest::FormsTest::SetUp();
        Form = new TForm(Application);
        Form->SetClientWidth(300);
        Form->SetClientHeight(200);
    }
    template <class T>
    T *Make(int left, int top)
    {
        T *control = new T(Form);
        control->SetParent(Form);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }

    TForm *Form = nullptr;
};

TEST_F(Components, TypedTextComesBackInTheAnsiCodePage)
{
    TEdit *edit = Make<TEdit>(10, 10);
    int changes = 0;
    edit->SetOnChange(TNotifyEvent([&](TObject *) { ++changes; }, nullptr, ""));
    TFormPilot pilot;
    pilot.Type(edit, "C:\\Scans");
    EXPECT_EQ(edit->Text(), "C:\\Scans");
    EXPECT_EQ(changes, 8);

    edit->SetText("");
    SetLanguage("2052");
    pilot.Type(edit, "扫描");
    EXPECT_EQ(edit->Text(), "\xC9\xA8\xC3\xE8");

    edit->SetReadOnly(true);
    pilot.Type(edit, "x");
    EXPECT_EQ(edit->Text(), "\xC9\xA8\xC3\xE8") << "a read-only edit takes no typing";
}

TEST_F(Components, MemoLinesAreItsTextAndCopyGoesToTheClipboard)
{
    TMemo *memo = Make<TMemo>(10, 10);
    EXPECT_EQ(memo->Lines()->Count(), 0);
    memo->Lines()->Add("first");
    memo->Lines()->Add("third");
    memo->Lines()->Insert(1, "second");
    EXPECT_EQ(memo->Text(), "first\r\nsecond\r\nthird\r\n");
    memo->Lines()->Delete(2);
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Lines()->Strings(1), "second");

    memo->SelectAll();
    EXPECT_EQ(memo->SelText(), "first\r\nsecond\r\n");
    memo->CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "first\nsecond\n");

    memo->Clear();
    EXPECT_EQ(memo->Lines()->Count(), 0);
    EXPECT_EQ(memo->Text(), "");
}

TEST_F(Components, AProgressBarKeepsItsPositionInItsRange)
{
    TProgressBar *bar = Make<TProgressBar>(10, 10);
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetPosition(25);
    bar->StepBy(50);
    EXPECT_EQ(bar->Position(), 75);
}

TEST_F(Components, TheFocusMovesByTabOrder)
{
    TEdit *third = Make<TEdit>(10, 10);
    TEdit *first = Make<TEdit>(10, 40);
    TEdit *second = Make<TEdit>(10, 70);
    EXPECT_EQ(third->TabOrder(), 0) << "in the order they came";
    third->SetTabOrder(2);
    first->SetTabOrder(0);
    second->SetTabOrder(1);
    EXPECT_EQ(first->Widget()->nextInFocusChain(), second->Widget());
    EXPECT_EQ(second->Widget()->nextInFocusChain(), third->Widget());
    third->SetTabStop(false);
    EXPECT_EQ(third->Widget()->focusPolicy(), Qt::ClickFocus);
}

// The widgets of the form's children from the bottom of the stack up.
std::string Stacking(TForm *form)
{
    std::string order;
    for (QObject *child : form->ClientWidget()->children())
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->Controls(i)->Widget() == child)
                order += form->Controls(i)->Name().str() + " ";
    return order;
}

// What Restack gives: the graphic controls in their order, then the
// windowed ones in theirs.
std::string Restacked(TForm *form)
{
    std::string order;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->Controls(i)->IsWindowed() == (pass == 1))
                order += form->Controls(i)->Name().str() + " ";
    return order;
}

TEST_F(Components, EachControlAddedLiesWhereRestackingWouldPutIt)
{
    // l: a label, p: a panel, added last; f: the first control brought to
    // the front, b: the last sent to the back; x: the first panel freed.
    const char *const kSequences[] = {"llll", "pppp", "lplpl", "ppll", "llpp", "plfplbl", "pplxlpl", "lpxl", "plbfpl"};
    for (const char *sequence : kSequences) {
        SCOPED_TRACE(sequence);
        auto *form = new TForm(nullptr);
        int made = 0;
        for (const char *step = sequence; *step; ++step) {
            TControl *control = nullptr;
            switch (*step) {
            case 'l': control = new TLabel(form); break;
            case 'p': control = new TPanel(form); break;
            case 'f': form->Controls(0)->BringToFront(); break;
            case 'b': form->Controls(form->ControlCount() - 1)->SendToBack(); break;
            case 'x':
                for (int i = 0; i < form->ControlCount(); ++i)
                    if (form->Controls(i)->IsWindowed()) {
                        form->Controls(i)->Free();
                        break;
                    }
                break;
            }
            if (control) {
                control->SetName(AnsiString(std::string(1, *step) + std::to_string(made++)));
                control->SetParent(form);
            }
            EXPECT_EQ(Stacking(form), Restacked(form)) << "after " << *step;
        }
        form->Restack();
        EXPECT_EQ(Stacking(form), Restacked(form));
        form->Free();
    }
}

TEST_F(Components, ExtremeGeometryAndFontSizesAreClampedToThePixelBounds)
{
    TLabel *label = Make<TLabel>(10, 10);
    label->SetAutoSize(false);
    TPanel *panel = Make<TPanel>(20, 20);
    const int frame = Form->Width() - Form->ClientWidth();
    struct Case {
        const char *what;
        std::function<void()> set;
        std::function<long long()> got;
        long long wanted;
    } cases[] = {
        {"left", [&] { label->SetLeft(INT_MAX); }, [&] { return label->Left(); }, kMostPixels},
        {"its widget", [] {}, [&] { return label->Widget()->x(); }, kMostPixels},
        {"width", [&] { label->SetWidth(INT_MIN); }, [&] { return label->Width(); }, -kMostPixels},
        {"bounds", [&] { label->SetBounds(INT_MIN, INT_MAX, INT_MAX, INT_MIN); },
         [&] { return label->BoundsRect().bottom(); }, kMostPixels - kMostPixels - 1},
        {"client width", [&] { Form->SetClientWidth(INT_MAX); }, [&] { return Form->Width(); }, kMostPixels},
        {"its client rect", [] {}, [&] { return Form->ClientRect().width(); }, kMostPixels - frame},
        {"client width below", [&] { Form->SetClientWidth(INT_MIN); }, [&] { return Form->ClientWidth(); },
         -kMostPixels},
        {"client height of a panel", [&] { panel->SetClientHeight(INT_MIN); }, [&] { return panel->Height(); },
         -kMostPixels},
        {"border width", [&] { panel->SetBorderWidth(INT_MAX); }, [&] { return panel->BorderWidth(); },
         kMostPixels},
        // Inside the border width and the raised outer bevel of one pixel.
        {"what the border leaves", [&] { static_cast<TControl *>(panel)->SetBounds(0, 0, INT_MAX, INT_MAX); },
         [&] { return panel->AlignRect().width(); }, kMostPixels - 2 * (kMostPixels + 1)},
        {"font size", [&] { label->Font()->SetSize(1610612736); }, [&] { return label->Font()->Size(); },
         kMostPoints},
        {"font size below", [&] { label->Font()->SetSize(INT_MIN); }, [&] { return label->Font()->Size(); },
         -kMostPoints},
        {"font height", [&] { label->Font()->SetHeight(INT_MIN); }, [&] { return label->Font()->Height(); },
         -kMostPixels},
        {"its font", [] {}, [&] { return label->Widget()->font().pixelSize(); }, kMostPixels},
        {"MulDiv past int", [] {}, [] { return MulDiv(INT_MAX, 96, 72); }, -1},
        {"MulDiv of the extremes", [] {}, [] { return MulDiv(INT_MIN, INT_MIN, 1); }, -1},
        {"MulDiv within int", [] {}, [] { return MulDiv(-2147483647, 72, 96); }, -1610612735},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.set();
        EXPECT_EQ(c.got(), c.wanted);
    }

    // Children aligned one under the other add up past int: each lies
    // within the bounds.
    for (int i = 0; i < 200; ++i) {
        auto *row = new TPanel(Form);
        row->SetParent(panel);
        row->SetHeight(INT_MAX);
        row->SetAlign(alTop);
    }
    EXPECT_EQ(panel->Controls(199)->Top(), kMostPixels);
}

} // namespace
