#include "Form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMargins>
#include <QPainter>
#include <QScreen>

#include "AnsiText.h"
#include "Application.h"
#include "Button.h"
#include "Colors.h"
#include "ControlWidget.h"
#include "FormReader.h"
#include "GuiApplication.h"
#include "Pixels.h"

namespace {

// The form's window: its client area. Closing it from the frame closes
// the form the class library's way.
class TFormWidget : public TControlWidget {
public:
    explicit TFormWidget(TForm *form) : TControlWidget(form), FForm(form) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (!FForm->IsDestroying())
            FForm->Close();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->modifiers() == Qt::NoModifier && !FForm->IsDestroying() && FForm->DialogKey(event->key()))
            event->accept();
        else
            TControlWidget::keyPressEvent(event);
    }
    void resizeEvent(QResizeEvent *) override { FForm->WindowResized(width(), height()); }
    void moveEvent(QMoveEvent *) override { FForm->WindowMoved(frameGeometry().x(), frameGeometry().y()); }

private:
    TForm *FForm;
};

const int kFixedFrame = 3;
const int kSizeFrame = 4;
const int kCaption = 19;
const int kSmallCaption = 16;

} // namespace

TForm::TForm(TComponent *AOwner) : TWinControl(AOwner)
{
    GuiApplication();
    TControl::SetVisible(false);
    SetParentColor(false);
    SetColor(clBtnFace);
    const QMargins frame = FrameOf(FBorderStyle);
    FWidth = frame.left() + frame.right();
    FHeight = frame.top() + frame.bottom();
    SetWidget(new TFormWidget(this));
    ApplyWindowFlags();
}

TForm::TForm(TComponent *AOwner, const QMetaObject *FormClass, const QString &Resource) : TForm(AOwner)
{
    FResourceName = AnsiString(Resource.toStdString());
    ReadFormResource(this, FormClass, Resource);
}

TForm::~TForm() { Destroying(); }

void TForm::MissingComponent(const char *name, const char *className) const
{
    throw EReadError("Error reading " + (FResourceName.IsEmpty() ? Name() : FResourceName) + ": the form has no " +
                     className + " named " + name);
}

void TForm::AfterConstruction()
{
    FCreated = true;
    Fire(FOnCreate);
    if (FShowWhenCreated)
        SetVisible(true);
}

void TForm::BeforeDestruction() { Fire(FOnDestroy); }

QMargins TForm::FrameOf(TFormBorderStyle BorderStyle)
{
    switch (BorderStyle) {
    case bsNone: return QMargins(0, 0, 0, 0);
    case bsSingle:
    case bsDialog: return QMargins(kFixedFrame, kFixedFrame + kCaption, kFixedFrame, kFixedFrame);
    case bsSizeable: return QMargins(kSizeFrame, kSizeFrame + kCaption, kSizeFrame, kSizeFrame);
    case bsToolWindow: return QMargins(kFixedFrame, kFixedFrame + kSmallCaption, kFixedFrame, kFixedFrame);
    case bsSizeToolWin: return QMargins(kSizeFrame, kSizeFrame + kSmallCaption, kSizeFrame, kSizeFrame);
    }
    return QMargins();
}

int TForm::ClientWidth() const
{
    const QMargins frame = FrameOf(FBorderStyle);
    return FWidth - frame.left() - frame.right();
}

int TForm::ClientHeight() const
{
    const QMargins frame = FrameOf(FBorderStyle);
    return FHeight - frame.top() - frame.bottom();
}

void TForm::UpdateWidgetGeometry()
{
    QWidget *window = Widget();
    if (!window)
        return;
    const QSize client(qMax(0, ClientWidth()), qMax(0, ClientHeight()));
    if (Sizeable()) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->resize(client);
    } else {
        window->setFixedSize(client);
    }
    window->move(FLeft, FTop);
}

bool TForm::DialogKey(int Key)
{
    const bool enter = Key == Qt::Key_Return || Key == Qt::Key_Enter;
    if (!enter && Key != Qt::Key_Escape)
        return false;
    TButton *chosen = nullptr;
    for (int i = 0; i < ComponentCount() && !chosen; ++i) {
        auto *button = qobject_cast<TButton *>(Components(i));
        if (!button || !button->Showing() || !button->Enabled())
            continue;
        if (enter && button->Focused())
            chosen = button;
    }
    for (int i = 0; i < ComponentCount() && !chosen; ++i) {
        auto *button = qobject_cast<TButton *>(Components(i));
        if (button && button->Showing() && button->Enabled() && (enter ? button->Default() : button->Cancel()))
            chosen = button;
    }
    if (!chosen)
        return false;
    Guarded([chosen] { chosen->Click(); });
    return true;
}

void TForm::WindowResized(int ClientWidth, int ClientHeight)
{
    if (ClientWidth == this->ClientWidth() && ClientHeight == this->ClientHeight())
        return;
    const QMargins frame = FrameOf(FBorderStyle);
    FWidth = ClampPixels(static_cast<long long>(ClientWidth) + frame.left() + frame.right());
    FHeight = ClampPixels(static_cast<long long>(ClientHeight) + frame.top() + frame.bottom());
    Realign();
}

void TForm::WindowMoved(int Left, int Top)
{
    FLeft = ClampPixels(Left);
    FTop = ClampPixels(Top);
}

void TForm::SetBorderStyle(TFormBorderStyle BorderStyle)
{
    if (BorderStyle == FBorderStyle)
        return;
    // The client area keeps its size; the frame changes around it.
    const int clientWidth = ClientWidth();
    const int clientHeight = ClientHeight();
    FBorderStyle = BorderStyle;
    const QMargins frame = FrameOf(FBorderStyle);
    FWidth = ClampPixels(static_cast<long long>(clientWidth) + frame.left() + frame.right());
    FHeight = ClampPixels(static_cast<long long>(clientHeight) + frame.top() + frame.bottom());
    ApplyWindowFlags();
    UpdateWidgetGeometry();
}

void TForm::SetBorderIcons(TBorderIcons BorderIcons)
{
    FBorderIcons = BorderIcons;
    ApplyWindowFlags();
}

void TForm::ApplyWindowFlags()
{
    QWidget *window = Widget();
    if (!window)
        return;
    // A tool window's frame (thin caption, no minimise or maximise) is the
    // window manager's utility window.
    const bool toolWindow = FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin;
    Qt::WindowFlags flags = toolWindow ? Qt::Tool : Qt::Window;
    if (FBorderStyle == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (FBorderIcons.Contains(biSystemMenu)) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (!toolWindow && FBorderStyle != bsDialog && FBorderIcons.Contains(biMinimize))
                flags |= Qt::WindowMinimizeButtonHint;
            if (!toolWindow && FBorderStyle != bsDialog && FBorderIcons.Contains(biMaximize))
                flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    const bool shown = window->isVisible();
    window->setWindowFlags(flags);
    if (shown)
        window->show();
}

void TForm::TextChanged()
{
    if (Widget())
        Widget()->setWindowTitle(AnsiToText(Caption()));
}

void TForm::PlaceOnScreen()
{
    if (FPosition != poScreenCenter && FPosition != poDesktopCenter && FPosition != poMainFormCenter &&
        FPosition != poOwnerFormCenter)
        return;
    QRect area;
    TForm *mainForm = Application->MainForm();
    if ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && mainForm && mainForm != this)
        area = mainForm->BoundsRect();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    else
        return;
    FLeft = ClampPixels(area.x() + (static_cast<long long>(area.width()) - FWidth) / 2);
    FTop = ClampPixels(area.y() + (static_cast<long long>(area.height()) - FHeight) / 2);
}

void TForm::SetVisible(bool Visible)
{
    if (Loading()) {
        FShowWhenCreated = Visible;
        return;
    }
    if (Visible == this->Visible())
        return;
    TControl::SetVisible(Visible);
    QWidget *window = Widget();
    if (Visible) {
        Fire(FOnShow);
        PlaceOnScreen();
        UpdateWidgetGeometry();
        window->show();
    } else {
        window->hide();
        Fire(FOnHide);
    }
}

void TForm::Show()
{
    SetVisible(true);
    // Qt's offscreen platform (tests) has no window stacking to change.
    if (Widget() && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        Widget()->raise();
        Widget()->activateWindow();
    }
}

void TForm::SetModalResult(int ModalResult)
{
    FModalResult = ModalResult;
    if (ModalResult != mrNone && FModalLoop)
        FModalLoop->quit();
}

void TForm::EndModalLoop()
{
    if (FModalLoop) {
        FModalResult = mrCancel;
        FModalLoop->quit();
    }
}

int TForm::ShowModal()
{
    if (Visible() || !Enabled() || FModalLoop)
        throw EInvalidOperation("Cannot make a visible window modal");
    GuiApplication();
    FModalResult = mrNone;
    Widget()->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    FModalLoop = &loop;
    Show();
    for (;;) {
        if (FModalResult == mrNone && !Application->Terminated())
            loop.exec();
        if (Application->Terminated()) {
            FModalResult = mrCancel;
            break;
        }
        if (FModalResult == mrNone)
            continue;
        // The class library's closing of a modal form: OnCloseQuery and
        // OnClose may keep it open.
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            const TCloseEvent handler = FOnClose;
            Guarded([&] { handler(this, action); });
        }
        if (action != caNone)
            break;
        FModalResult = mrNone;
    }
    FModalLoop = nullptr;
    const int result = FModalResult;
    Hide();
    Widget()->setWindowModality(Qt::NonModal);
    return result;
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    const TCloseQueryEvent handler = FOnCloseQuery;
    Guarded([&] { handler(this, canClose); });
    return canClose;
}

void TForm::Close()
{
    if (FModalLoop) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    const TCloseEvent handler = FOnClose;
    Guarded([&] { handler(this, action); });
    if (action == caNone)
        return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        Widget()->showMinimized();
    else
        Release();
}

void TForm::Release()
{
    QMetaObject::invokeMethod(
        this, [this] { Free(); }, Qt::QueuedConnection);
}

void TForm::Paint(QPainter &painter) { painter.fillRect(QRect(0, 0, ClientWidth(), ClientHeight()), ToQColor(Color())); }

TForm *GetParentForm(TControl *Control)
{
    while (Control && Control->Parent())
        Control = Control->Parent();
    return qobject_cast<TForm *>(Control);
}
