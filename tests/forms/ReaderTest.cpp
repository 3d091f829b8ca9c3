// The form reader: a resource that uses every component, property kind and
// event kind gives the values written and binds the handlers; each kind of
// bad resource raises EReadError naming the resource, the line and the name.

#include <string>
#include <vector>

#include <QFontInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include "BitBtn.h"
#include "Bevel.h"
#include "Button.h"
#include "Edit.h"
#include "Form.h"
#include "FormPilot.h"
#include "FormReader.h"
#include "ForgedInput.h"
#include "FormsTestSupport.h"
#include "Label.h"
#include "Memo.h"
#include "Panel.h"
#include "ProgressBar.h"
#include "Timer.h"

namespace {

using formstest::FormsTest;

class TEverythingForm : public TForm {
    Q_OBJECT
public:
    explicit TEverythingForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/forms_test/Everything.dfm") {}

    TPanel *Frame = Component<TPanel>("Frame");
    TLabel *Title = Component<TLabel>("Title");
    TLabel *Middle = Component<TLabel>("Middle");
    TPanel *Box = Component<TPanel>("Box");
    TPanel *WhiteBox = Component<TPanel>("WhiteBox");
    TBevel *Flag = Component<TBevel>("Flag");
    TButton *Plain = Component<TButton>("Plain");
    TBitBtn *Ok = Component<TBitBtn>("Ok");
    TBitBtn *Pictured = Component<TBitBtn>("Pictured");
    TEdit *Path = Component<TEdit>("Path");
    TMemo *Log = Component<TMemo>("Log");
    TProgressBar *Progress = Component<TProgressBar>("Progress");
    TTimer *Tick = Component<TTimer>("Tick");

    std::vector<std::string> Events;

    Q_INVOKABLE void FormCreate(TObject *) { Events.push_back("create"); }
    Q_INVOKABLE void FormDestroy(TObject *) { Events.push_back("destroy"); }
    Q_INVOKABLE void FormShow(TObject *) { Events.push_back("show"); }
    Q_INVOKABLE void FormClose(TObject *, TCloseAction &Action)
    {
        Events.push_back("close " + std::to_string(Action));
        Action = caNone;
    }
    Q_INVOKABLE void TitleClick(TObject *Sender) { Events.push_back(Sender == Title ? "click Title" : "click ?"); }
    Q_INVOKABLE void PlainClick(TObject *Sender)
    {
        Events.push_back("click " + static_cast<TComponent *>(Sender)->Name().str());
    }
    Q_INVOKABLE void TitleMouseDown(TObject *, TMouseButton Button, TShiftState Shift, int X, int Y)
    {
        Events.push_back("down " + std::to_string(Button) + " " + std::to_string(Shift.ToInt()) + " " +
                         std::to_string(X) + "," + std::to_string(Y));
    }
    Q_INVOKABLE void TitleMouseUp(TObject *, TMouseButton Button, TShiftState, int, int)
    {
        Events.push_back("up " + std::to_string(Button));
    }
    Q_INVOKABLE void TitleMouseEnter(TObject *) { Events.push_back("enter"); }
    Q_INVOKABLE void TitleMouseLeave(TObject *) { Events.push_back("leave"); }
    Q_INVOKABLE void TickTimer(TObject *) { Events.push_back("tick"); }
};

// A form read from text, for the bad resources.
class TTextForm : public TForm {
    Q_OBJECT
public:
    TTextForm(const std::string &text) : TForm(nullptr)
    {
        ReadFormText(this, &staticMetaObject, text, "Text.dfm");
    }
    Q_INVOKABLE void LabelClick(TObject *) {}
};

using Reader = FormsTest;

TEST_F(Reader, EveryKindOfPropertyGivesTheValueWritten)
{
    TEverythingForm *form = nullptr;
    Application->CreateForm(&form);
    ASSERT_NE(form, nullptr);

    EXPECT_EQ(form->Name(), "EverythingForm");
    EXPECT_EQ(form->Caption(), "It's 'all'");
    EXPECT_EQ(form->BorderStyle(), bsToolWindow);
    EXPECT_EQ(form->BorderIcons(), TBorderIcons() << biSystemMenu);
    EXPECT_EQ(form->ClientWidth(), 426);
    EXPECT_EQ(form->ClientHeight(), 345);
    EXPECT_EQ(form->Width(), 426 + 6);
    EXPECT_EQ(form->Height(), 345 + 22);
    EXPECT_EQ(form->Left(), 200);
    EXPECT_EQ(form->Top(), 100);
    EXPECT_FALSE(form->Scaled());
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font()->Size(), 8);
    EXPECT_EQ(form->Widget()->size(), QSize(426, 345));
    EXPECT_EQ(form->Widget()->windowTitle().toStdString(), "It's 'all'");

    // Panels: aligned to the client area, a single border outside the
    // client area, and a child that fills what the bevel and border width
    // leave.
    EXPECT_EQ(form->Frame->BoundsRect(), QRect(0, 0, 426, 345));
    EXPECT_EQ(form->Frame->BorderStyle(), bsSingle);
    EXPECT_EQ(form->Frame->ClientWidth(), 422);
    EXPECT_EQ(form->Frame->Color(), clMenuBar);
    EXPECT_EQ(form->Frame->BevelOuter(), bvLowered);
    EXPECT_EQ(form->Box->Parent(), form->Frame);
    EXPECT_EQ(form->Box->Widget()->pos(), QPoint(27 + 2, 32 + 2));
    EXPECT_EQ(form->WhiteBox->BoundsRect(), QRect(5, 5, 362, 47));
    EXPECT_EQ(form->WhiteBox->Color(), clWhite);

    // Labels: strings joined by +, line breaks, fonts, sets, cursors,
    // colours by number, right alignment, booleans.
    EXPECT_EQ(form->Title->Caption(), "First line\r\nsecond line");
    EXPECT_EQ(form->Title->Alignment(), taRightJustify);
    EXPECT_EQ(form->Title->Cursor(), crHandPoint);
    EXPECT_EQ(form->Title->Font()->Color(), TColor(8866311));
    EXPECT_EQ(form->Title->Font()->Height(), -27);
    EXPECT_EQ(form->Title->Font()->Size(), 20);
    EXPECT_EQ(form->Title->Font()->Name(), "Arial");
    EXPECT_EQ(form->Title->Font()->Charset(), ANSI_CHARSET);
    EXPECT_EQ(form->Title->Font()->Style(), TFontStyles() << fsBold << fsItalic);
    EXPECT_FALSE(form->Title->ParentFont());
    EXPECT_TRUE(form->Title->Transparent());
    EXPECT_FALSE(form->Title->Visible());
    EXPECT_FALSE(form->Title->Enabled());
    EXPECT_EQ(form->Title->Left() + form->Title->Width(), 67 + 10) << "a right-aligned label keeps its right edge";
    EXPECT_EQ(form->Middle->BoundsRect(), QRect(52, 192, 300, 113)) << "no automatic size";
    EXPECT_TRUE(form->Middle->WordWrap());
    EXPECT_EQ(form->Middle->Font()->Height(), -19);
    EXPECT_EQ(form->Middle->Font()->Name(), "MS Sans Serif") << "the rest of the font from the form";

    EXPECT_EQ(form->Flag->Shape(), bsFrame);
    EXPECT_EQ(form->Flag->Style(), bsRaised);

    EXPECT_EQ(form->Plain->Caption(), "ShowLog");
    EXPECT_EQ(form->Plain->ModalResult(), mrCancel);
    EXPECT_EQ(form->Ok->Caption(), "OK");
    EXPECT_EQ(form->Ok->ModalResult(), mrOk);
    EXPECT_TRUE(form->Ok->Default());
    EXPECT_EQ(form->Pictured->Glyph().size(), QSize(16, 16));
    EXPECT_EQ(form->Pictured->Spacing(), 10);
    EXPECT_EQ(form->Pictured->Font()->Style(), TFontStyles() << fsBold);
    EXPECT_EQ(form->Pictured->TabOrder(), 4);

    EXPECT_EQ(form->Path->Text(), "C:\\Program Files");
    EXPECT_TRUE(form->Path->ReadOnly());
    EXPECT_EQ(form->Log->Lines()->Count(), 3);
    EXPECT_EQ(form->Log->Lines()->Strings(1), "second\ttab");
    EXPECT_EQ(form->Log->Lines()->Strings(2), "");
    EXPECT_EQ(form->Log->ScrollBars(), ssBoth);
    EXPECT_EQ(form->Progress->Max(), 100);
    EXPECT_EQ(form->Progress->Position(), 25);
    EXPECT_FALSE(form->Progress->Visible());

    EXPECT_FALSE(form->Tick->Enabled());
    EXPECT_EQ(form->Tick->Interval(), 500);

    // Every kind of event is bound to the form's method of that name.
    EXPECT_EQ(form->Events, (std::vector<std::string>{"create"}));
    form->Show();
    form->Title->Click();
    form->Title->OnMouseDown()(form->Title, mbMiddle, TShiftState() << ssMiddle << ssCtrl, 3, 4);
    form->Title->OnMouseUp()(form->Title, mbRight, TShiftState(), 0, 0);
    form->Title->OnMouseEnter()(form->Title);
    form->Title->OnMouseLeave()(form->Title);
    form->Plain->Click();
    form->Pictured->Click();
    form->Tick->OnTimer()(form->Tick);
    form->Close();
    const int middleAndCtrl = (1 << ssMiddle) | (1 << ssCtrl);
    EXPECT_EQ(form->Events,
              (std::vector<std::string>{"create", "show", "click Title",
                                        "down 2 " + std::to_string(middleAndCtrl) + " 3,4", "up 1", "enter",
                                        "leave", "click Plain", "click Pictured", "tick", "close 1"}));
    EXPECT_EQ(form->Title->OnClick().MethodName(), "TitleClick");
    EXPECT_FALSE(Application->Terminated()) << "OnClose kept the main form open";
    EXPECT_FALSE(classlib_testing::SavePicture(form, "forms_test/EveryComponent", "form").empty());
}

TEST_F(Reader, OnDestroyRunsWhenTheApplicationGoes)
{
    TEverythingForm *form = nullptr;
    Application->CreateForm(&form);
    QPointer<QObject> watch(form);
    bool destroyed = false;
    form->SetOnDestroy(TNotifyEvent([&](TObject *) { destroyed = true; }, form, "test"));
    Application.Reset();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(watch.isNull());
}

struct BadResource {
    const char *what;
    std::string text;
    int line;
    const char *named;
};

const char kHead[] = "object TextForm: TTextForm\n"; // line 1

// `depth` panels, each inside the one before, one a line from line 2.
std::string NestedPanels(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "object P" + std::to_string(i) + ": TPanel\n";
    for (int i = 0; i < depth; ++i)
        text += "end\n";
    return text;
}

// Deep enough to overflow the stack of a reader that recursed without
// bound, in either build.
const int kDeep = 100000;

const BadResource kBadResources[] = {
    {"unknown class", "  object A: TNoSuchClass\n  end\nend\n", 2, "TNoSuchClass"},
    {"unknown property", "  Colour = clWhite\nend\n", 2, "Colour"},
    {"unknown nested property", "  Font.Weight = 3\nend\n", 2, "Weight"},
    {"property of a plain value", "  Left.Inner = 3\nend\n", 2, "Left"},
    {"unknown value", "  BorderStyle = bsRounded\nend\n", 2, "bsRounded"},
    {"string for a number", "  Left = 'ten'\nend\n", 2, "Left"},
    {"number for a flag", "  Scaled = 1\nend\n", 2, "Scaled"},
    {"unknown set element", "  Font.Style = [fsBold, fsWavy]\nend\n", 2, "fsWavy"},
    {"unknown handler", "  OnCreate = NoSuchHandler\nend\n", 2, "NoSuchHandler"},
    {"handler with other parameters",
     "  object L: TLabel\n    OnMouseUp = LabelClick\n  end\nend\n", 3, "LabelClick"},
    {"number for an enumeration", "  Position = 4\nend\n", 2, "Position"},
    {"duplicate name", "  object L: TLabel\n  end\n  object L: TLabel\n  end\nend\n", 4, "L"},
    {"control in a label", "  object L: TLabel\n    object M: TLabel\n    end\n  end\nend\n", 3, "M"},
    {"missing picture", "  object B: TBitBtn\n    Glyph = 'nosuch.bmp'\n  end\nend\n", 3, "nosuch.bmp"},
    {"missing end", "  Left = 1\n", 2, "end"},
    {"missing =", "  Left 1\nend\n", 2, "="},
    {"unterminated string", "  Caption = 'abc\nend\n", 2, "string"},
    {"bad number", "  Left = 12ab\nend\n", 2, "number"},
    {"unclosed list", "  object M: TMemo\n    Lines.Strings = (\n      'a'\n", 4, "')'"},
    {"text after the end", "end\nend\n", 3, "after"},
    {"list for a string", "  Caption = ('a')\nend\n", 2, "Caption"},
    {"lists nested too deeply", "  Caption = 'a'\n  Hint = " + std::string(kDeep, '(') + "\nend\n", 3,
     "nested too deeply"},
    // The form is the first level, the panel on line n the n-th.
    {"objects nested too deeply", NestedPanels(kDeep) + "end\n", 257, "nested too deeply"},
    {"font size past the bounds", "  Font.Size = 1610612736\nend\n", 2, "Font.Size"},
    {"font height past the bounds", "  Font.Height = -2147483648\nend\n", 2, "Font.Height"},
    {"client width past the bounds", "  ClientWidth = 2147483647\nend\n", 2, "ClientWidth"},
    {"client width below the bounds", "  ClientWidth = -2147483648\nend\n", 2, "ClientWidth"},
    {"client height one past the bounds", "  ClientHeight = 16777216\nend\n", 2, "ClientHeight"},
    {"left of a control", "  object L: TLabel\n    Left = 2147483647\n  end\nend\n", 3, "L.Left"},
    {"width of a control", "  object L: TLabel\n    Width = 2147483647\n  end\nend\n", 3, "L.Width"},
    {"border width of a panel", "  object P: TPanel\n    BorderWidth = 2147483647\n  end\nend\n", 3,
     "P.BorderWidth"},
    {"spacing of a button", "  object B: TBitBtn\n    Spacing = -2147483648\n  end\nend\n", 3, "B.Spacing"},
    {"number past 32 bits", "  Left = 4294967296\nend\n", 2, "Left"},
    {"hex number past 64 bits", "  Tag = $10000000000000000\nend\n", 2, "range"},
    {"negated hex number past 63 bits", "  Tag = -$8000000000000000\nend\n", 2, "range"},
};

TEST_F(Reader, EachBadResourceRaisesEReadErrorNamingTheLine)
{
    for (const BadResource &bad : kBadResources) {
        SCOPED_TRACE(bad.what);
        const std::string text = std::string(kHead) + bad.text;
        try {
            TTextForm form(text);
            ADD_FAILURE() << "no error";
        } catch (const EReadError &error) {
            const std::string message = error.Message().str();
            EXPECT_NE(message.find("Text.dfm"), std::string::npos) << message;
            EXPECT_NE(message.find("line " + std::to_string(bad.line) + ":"), std::string::npos) << message;
            EXPECT_NE(message.find(bad.named), std::string::npos) << message;
        }
    }
}

TEST_F(Reader, ValuesAtTheBoundsAndNestingWithinTheLimitAreRead)
{
    TTextForm form(std::string(kHead) +
                   "  ClientWidth = 16777215\n"
                   "  ClientHeight = -16777215\n"
                   "  Font.Size = 12582864\n"
                   "  object L: TLabel\n"
                   "    AutoSize = False\n"
                   "    Left = -16777215\n"
                   "    Width = 16777215\n"
                   "    Font.Height = -16777215\n"
                   "  end\n" +
                   NestedPanels(255) + "end\n");
    // The frame around the client area is inside the bounds too.
    EXPECT_EQ(form.Width(), 16777215);
    EXPECT_EQ(form.ClientHeight(), -16777215);
    EXPECT_EQ(form.Font()->Size(), 12582864);
    auto *label = static_cast<TLabel *>(form.FindComponent("L"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->BoundsRect().left(), -16777215);
    EXPECT_EQ(label->Width(), 16777215);
    EXPECT_EQ(label->Font()->Height(), -16777215);
    int depth = 0;
    for (TControl *control = static_cast<TControl *>(form.FindComponent("P254")); control;
         control = control->Parent())
        ++depth;
    EXPECT_EQ(depth, 256);
}

TEST_F(Reader, AFormOf8000SiblingLabelsLoads)
{
    TTextForm form(testsupport::LabelsFormText("TextForm", "TTextForm", 8000));
    ASSERT_EQ(form.ControlCount(), 8000);
    EXPECT_EQ(form.Controls(7999)->Caption(), "L7999");
    EXPECT_EQ(form.Controls(7999)->BoundsRect().topLeft(), QPoint(790, 390));
}

TEST_F(Reader, AResourceOfAnotherClassOrAFieldWithoutItsComponentRaises)
{
    EXPECT_THROW(TTextForm("object X: TOtherForm\nend\n"), EReadError);

    class TFieldForm : public TForm {
    public:
        TFieldForm() : TForm(nullptr, &TForm::staticMetaObject, ":/forms_test/Plain.dfm") {}
        TLabel *Missing = Component<TLabel>("Missing");
    };
    try {
        TFieldForm form;
        ADD_FAILURE() << "no error";
    } catch (const EReadError &error) {
        EXPECT_NE(error.Message().Pos("Missing"), 0) << error.Message();
    }
    EXPECT_THROW(TForm(nullptr, &TForm::staticMetaObject, ":/forms_test/NoSuch.dfm"), EResNotFound);
}

} // namespace

#include "ReaderTest.moc"
