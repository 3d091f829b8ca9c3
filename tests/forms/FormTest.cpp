// Forms and the application object: the main form and the end of Run,
// OnCreate and its exceptions, showing on creation, modal forms and their
// results, closing, and the window's frame.

#include <string>
#include <vector>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include "BitBtn.h"
#include "Dialogs.h"
#include "Button.h"
#include "Form.h"
#include "FormPilot.h"
#include "FormsTestSupport.h"
#include "Label.h"

namespace {

using classlib_testing::TFormPilot;
using Events = std::vector<std::string>;

class TNoticeForm : public TForm {
    Q_OBJECT
public:
    explicit TNoticeForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/forms_test/Notice.dfm") {}

    TLabel *LTitle = Component<TLabel>("LTitle");
    TLabel *LMessage = Component<TLabel>("LMessage");
    TBitBtn *BitBtn1 = Component<TBitBtn>("BitBtn1");
    TButton *Later = Component<TButton>("Later");

    Events Log;
    bool FailCreate = false;
    int KeepOpen = 0;

    Q_INVOKABLE void FormCreate(TObject *)
    {
        Log.push_back("create");
        if (FailCreate)
            throw EFOpenError("Cannot open file");
    }
    Q_INVOKABLE void FormShow(TObject *) { Log.push_back("show"); }
    Q_INVOKABLE void FormClose(TObject *, TCloseAction &Action)
    {
        Log.push_back("close");
        if (KeepOpen > 0) {
            --KeepOpen;
            Action = caNone;
        }
    }
    Q_INVOKABLE void BitBtn1Click(TObject *) { Close(); }
};

// A form whose OnCreate raises: the exception is shown, the form stays.
class TFailingForm : public TNoticeForm {
    Q_OBJECT
public:
    explicit TFailingForm(TComponent *Owner) : TNoticeForm(Owner) { FailCreate = true; }
};

class TShownForm : public TForm {
    Q_OBJECT
public:
    explicit TShownForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/forms_test/Shown.dfm") {}
    Events Log;
    Q_INVOKABLE void FormCreate(TObject *) { Log.push_back(Visible() ? "create shown" : "create hidden"); }
    Q_INVOKABLE void FormShow(TObject *) { Log.push_back("show"); }
};

using Forms = formstest::FormsTest;

// Runs `step` once the event loop that is about to start runs.
void Soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

TEST_F(Forms, TheFirstFormIsTheMainFormAndClosingItEndsRun)
{
    TShownForm *wizard = nullptr;
    TNoticeForm *message = nullptr;
    Application->CreateForm(&wizard);
    Application->CreateForm(&message);
    EXPECT_EQ(Application->MainForm(), wizard);
    EXPECT_EQ(wizard->Owner(), static_cast<TComponent *>(Application));
    EXPECT_FALSE(message->Visible());

    Soon([&] {
        message->Show();
        message->Widget()->close(); // from the window's frame: another form hides
        EXPECT_FALSE(message->Visible());
        EXPECT_FALSE(Application->Terminated());
        wizard->Close();
    });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(message->Log, (Events{"create", "show", "close"}));
}

TEST_F(Forms, AFormVisibleInItsResourceShowsAfterOnCreate)
{
    TShownForm *wizard = nullptr;
    Application->CreateForm(&wizard);
    EXPECT_EQ(wizard->Log, (Events{"create hidden", "show"}));
    EXPECT_TRUE(wizard->Visible());
    EXPECT_TRUE(wizard->Widget()->isVisible());
    EXPECT_EQ(wizard->Widget()->size(), QSize(568, 442));
    EXPECT_EQ(wizard->Widget()->pos(), QPoint(10, 20)) << "placed as designed";
}

TEST_F(Forms, AnExceptionInOnCreateIsShownAndTheFormStillComesIntoBeing)
{
    Pilot.Answer("OK");
    TFailingForm *form = nullptr;
    Application->CreateForm(&form);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(Pilot.Shown().size(), 1u);
    EXPECT_EQ(Pilot.Shown()[0].Text, "Cannot open file.");
    EXPECT_EQ(Pilot.Shown()[0].Kind, mtError);
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_EQ(form->LTitle->Caption(), "Title");
    form->Show();
    EXPECT_TRUE(form->Widget()->isVisible());
}

TEST_F(Forms, ShowModalReturnsTheResultOfWhatEndedIt)
{
    TNoticeForm *form = nullptr;
    Application->CreateForm(&form);
    TFormPilot pilot;

    // The OK button's click closes the form: Close on a modal form gives
    // mrCancel (its own mrOk comes first, then Close replaces it).
    Soon([&] { pilot.Click(form->BitBtn1); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(form->Visible());

    // A button with a modal result ends it with that result.
    Soon([&] { pilot.Click(form->Later); });
    EXPECT_EQ(form->ShowModal(), mrNo);

    // OnClose can keep it open: the first close is refused.
    form->KeepOpen = 1;
    form->Log.clear();
    Soon([&] {
        form->Close();
        Soon([&] {
            EXPECT_TRUE(form->Visible());
            form->SetModalResult(mrAbort);
        });
    });
    EXPECT_EQ(form->ShowModal(), mrAbort);
    EXPECT_EQ(form->Log, (Events{"show", "close", "close"}));

    // Centred on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form->Left(), (screen.width() - form->Width()) / 2);
    EXPECT_EQ(form->Top(), (screen.height() - form->Height()) / 2);
}

TEST_F(Forms, AVisibleFormCannotBeShownModally)
{
    TShownForm *wizard = nullptr;
    Application->CreateForm(&wizard);
    EXPECT_THROW(wizard->ShowModal(), EInvalidOperation);
}

// The frame by border style, and the kind of window: a tool window is the
// window system's tool window, without minimise and maximise buttons.
TEST_F(Forms, TheFrameAddsToTheClientAreaByBorderStyle)
{
    TForm *form = new TForm(Application);
    form->SetClientWidth(426);
    form->SetClientHeight(345);
    struct Case {
        TFormBorderStyle style;
        int extraWidth, extraHeight;
        Qt::WindowType kind;
        bool minimises;
    } cases[] = {{bsNone, 0, 0, Qt::Window, false},
                 {bsSingle, 6, 25, Qt::Window, true},
                 {bsToolWindow, 6, 22, Qt::Tool, false},
                 {bsSizeable, 8, 27, Qt::Window, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.style);
        form->SetBorderStyle(c.style);
        EXPECT_EQ(form->ClientWidth(), 426);
        EXPECT_EQ(form->ClientHeight(), 345);
        EXPECT_EQ(form->Width(), 426 + c.extraWidth);
        EXPECT_EQ(form->Height(), 345 + c.extraHeight);
        EXPECT_EQ(form->Widget()->size(), QSize(426, 345));
        EXPECT_EQ(form->Widget()->windowType(), c.kind);
        EXPECT_EQ(form->Widget()->windowFlags().testFlag(Qt::WindowMinimizeButtonHint), c.minimises);
        EXPECT_EQ(form->Widget()->windowFlags().testFlag(Qt::WindowMaximizeButtonHint), c.minimises);
    }
    form->SetWidth(500);
    EXPECT_EQ(form->ClientWidth(), 500 - 8);
}

TEST_F(Forms, AnExceptionInAClickHandlerEndsThatHandlerOnly)
{
    TNoticeForm *form = nullptr;
    Application->CreateForm(&form);
    form->BitBtn1->SetOnClick(TNotifyEvent(
        [](TObject *) { throw Exception("Unknown"); }, nullptr, ""));
    Pilot.Answer("OK");
    form->Show();
    TFormPilot pilot;
    pilot.Click(form->BitBtn1);
    ASSERT_EQ(Pilot.Shown().size(), 1u);
    EXPECT_EQ(Pilot.Shown()[0].Text, "Unknown.");
    EXPECT_TRUE(form->Visible());
}

TEST_F(Forms, EnterPressesTheDefaultButtonAndTheTitleCaptionsMessageBoxes)
{
    TNoticeForm *form = nullptr;
    Application->CreateForm(&form);
    Soon([&] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form->Widget(), &enter);
    });
    form->ShowModal();
    EXPECT_EQ(form->Log, (Events{"create", "show", "close"})) << "the OK button's click closed it";

    Application->SetTitle("Orvel Scanner");
    Pilot.Answer("OK");
    ShowMessage("Done");
    ASSERT_EQ(Pilot.Shown().size(), 1u);
    EXPECT_EQ(Pilot.Shown()[0].Title, "Orvel Scanner");
    EXPECT_EQ(Application->Title(), "Orvel Scanner");
}

} // namespace

#include "FormTest.moc"
