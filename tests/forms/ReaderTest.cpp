// The form reader: a resource builds its form, and bad resources raise
// EReadError naming the line.

#include <gtest/gtest.h>

#include "Application.h"
#include "Form.h"
#include "Label.h"

namespace {

class TSampleForm : public TForm {
    Q_OBJECT
public:
    explicit TSampleForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/forms_test/Sample.dfm") {}

    TLabel *Label1 = Component<TLabel>("Label1");
    int Created = 0;
    int Clicks = 0;
    int Ups = 0;

    Q_INVOKABLE void FormCreate(TObject *) { ++Created; }
    Q_INVOKABLE void Label1Click(TObject *) { ++Clicks; }
    Q_INVOKABLE void Label1MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ++Ups; }
};

TEST(Reader, SampleFormLoads)
{
    TSampleForm *form = nullptr;
    Application->Initialize();
    Application->CreateForm(&form);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Created, 1);
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->Caption(), "Sample");
    EXPECT_EQ(form->Label1->Font()->Color(), TColor(8866311));
    EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsBold));
    EXPECT_EQ(form->Label1->Font()->Size(), 10);
    EXPECT_EQ(form->Label1->OnClick().MethodName(), "Label1Click");
    form->Label1->Click();
    EXPECT_EQ(form->Clicks, 1);
    form->Label1->OnMouseUp()(form->Label1, mbRight, TShiftState(), 1, 2);
    EXPECT_EQ(form->Ups, 1);
    EXPECT_GT(form->Label1->Height(), 20);
    Application.Reset();
}

} // namespace

#include "ReaderTest.moc"
