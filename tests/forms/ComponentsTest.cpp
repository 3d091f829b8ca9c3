// Edits, memos, progress bars and the tab order, worked through the form
// pilot where a user would.

#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "Edit.h"
#include "Form.h"
#include "FormPilot.h"
#include "FormsTestSupport.h"
#include "Memo.h"
#include "ProgressBar.h"

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

} // namespace
