#include "Control.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

#include "Application.h"
#include "Colors.h"
#include "ControlWidget.h"
#include "GuiApplication.h"
#include "Pixels.h"
#include "WinControl.h"

namespace {

bool ToMouseButton(Qt::MouseButton qtButton, TMouseButton *button)
{
    switch (qtButton) {
    case Qt::LeftButton: *button = mbLeft; return true;
    case Qt::RightButton: *button = mbRight; return true;
    case Qt::MiddleButton: *button = mbMiddle; return true;
    default: return false;
    }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift << ssShift;
    if (modifiers & Qt::AltModifier)
        shift << ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift << ssCtrl;
    if (buttons & Qt::LeftButton)
        shift << ssLeft;
    if (buttons & Qt::RightButton)
        shift << ssRight;
    if (buttons & Qt::MiddleButton)
        shift << ssMiddle;
    return shift;
}

Qt::CursorShape ToQtCursor(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// The controls that have the pointer: they had their enter and not yet
// their leave.
QList<QPointer<TControl>> &PointerHolders()
{
    static QList<QPointer<TControl>> holders;
    return holders;
}

// Of those, the ones hidden under the pointer: their leave waits for the
// pointer's next move.
QList<QPointer<TControl>> &LeavesHeld()
{
    static QList<QPointer<TControl>> held;
    return held;
}

// While a control is being hidden, the toolkit's own leave and enter events
// for what was under the pointer are not moves of the pointer.
int gHiding = 0;

} // namespace

TControl::TControl(TComponent *AOwner) : TComponent(AOwner), FFont(new TFont(this))
{
    // Widgets need the Qt application.
    GuiApplication();
    connect(FFont, &TFont::Changed, this, &TControl::OnFontChange);
}

TControl::~TControl()
{
    Destroying();
    if (FParent)
        FParent->RemoveControl(this);
    FParent = nullptr;
    delete FWidget;
}

void TControl::SetWidget(QWidget *widget)
{
    FWidget = widget;
    widget->setObjectName(objectName());
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
    widget->setFont(FFont->ToQFont());
    widget->hide();
    UpdateWidgetGeometry();
}

void TControl::SetParent(TWinControl *Parent)
{
    if (Parent == FParent)
        return;
    for (TWinControl *above = Parent; above; above = above->Parent())
        if (above == this)
            return;
    if (FParent)
        FParent->RemoveControl(this);
    FParent = Parent;
    if (!FWidget)
        return;
    if (!FParent) {
        FWidget->hide();
        FWidget->setParent(nullptr);
        return;
    }
    FParent->InsertControl(this);
    FWidget->setParent(FParent->ClientWidget());
    if (FParentFont)
        ParentFontChanged();
    if (FParentColor)
        ParentColorChanged();
    UpdateWidgetGeometry();
    FParent->StackAdded(this);
    FWidget->setVisible(FVisible);
    if (FAlign != alNone)
        FParent->Realign();
}

void TControl::SetBounds(int Left, int Top, int Width, int Height)
{
    Left = ClampPixels(Left);
    Top = ClampPixels(Top);
    Width = ClampPixels(Width);
    Height = ClampPixels(Height);
    if (Left == FLeft && Top == FTop && Width == FWidth && Height == FHeight)
        return;
    const bool resized = Width != FWidth || Height != FHeight;
    FLeft = Left;
    FTop = Top;
    FWidth = Width;
    FHeight = Height;
    UpdateWidgetGeometry();
    BoundsChanged();
    if (FParent && FAlign != alNone && resized)
        FParent->Realign();
}

void TControl::UpdateWidgetGeometry()
{
    if (!FWidget)
        return;
    const QPoint origin = FParent ? FParent->ClientOrigin() : QPoint(0, 0);
    FWidget->setGeometry(ClampPixels(static_cast<long long>(origin.x()) + FLeft),
                         ClampPixels(static_cast<long long>(origin.y()) + FTop), qMax(0, FWidth), qMax(0, FHeight));
}

void TControl::SetClientWidth(int Width)
{
    SetWidth(ClampPixels(static_cast<long long>(FWidth) - ClientWidth() + ClampPixels(Width)));
}

void TControl::SetClientHeight(int Height)
{
    SetHeight(ClampPixels(static_cast<long long>(FHeight) - ClientHeight() + ClampPixels(Height)));
}

void TControl::SetVisible(bool Visible)
{
    if (Visible == FVisible)
        return;
    FVisible = Visible;
    if (FWidget && FParent) {
        if (!Visible)
            ++gHiding;
        FWidget->setVisible(Visible);
        if (!Visible)
            --gHiding;
    }
    VisibleChanged();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

bool TControl::Showing() const
{
    for (const TControl *control = this; control; control = control->FParent)
        if (!control->FVisible)
            return false;
    return true;
}

void TControl::SetEnabled(bool Enabled)
{
    if (Enabled == FEnabled)
        return;
    FEnabled = Enabled;
    if (FWidget)
        FWidget->setEnabled(Enabled);
    Invalidate();
}

void TControl::SetCursor(TCursor Cursor)
{
    FCursor = Cursor;
    if (!FWidget)
        return;
    if (Cursor == crDefault)
        FWidget->unsetCursor();
    else
        FWidget->setCursor(ToQtCursor(Cursor));
}

void TControl::SetAlign(TAlign Align)
{
    if (Align == FAlign)
        return;
    FAlign = Align;
    if (FParent)
        FParent->Realign();
}

void TControl::SetText(const AnsiString &Text)
{
    if (Text == FText)
        return;
    FText = Text;
    TextChanged();
    Invalidate();
}

void TControl::SetParentFont(bool ParentFont)
{
    FParentFont = ParentFont;
    if (ParentFont && FParent)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParent || !FParentFont)
        return;
    FSettingParentFont = true;
    FFont->Assign(FParent->Font());
    FSettingParentFont = false;
}

void TControl::OnFontChange()
{
    if (!FSettingParentFont)
        FParentFont = false;
    FontChanged();
}

void TControl::FontChanged()
{
    if (!FWidget)
        return;
    FWidget->setFont(FFont->ToQFont());
    Invalidate();
}

void TControl::SetColor(TColor Color)
{
    FParentColor = false;
    if (Color == FColor)
        return;
    FColor = Color;
    ColorChanged();
}

void TControl::SetParentColor(bool ParentColor)
{
    FParentColor = ParentColor;
    if (ParentColor && FParent)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!FParent || !FParentColor || FParent->Color() == FColor)
        return;
    FColor = FParent->Color();
    ColorChanged();
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::SetPaletteColor(QPalette::ColorRole role, TColor color)
{
    QPalette palette = FWidget->palette();
    palette.setColor(role, ToQColor(color));
    FWidget->setPalette(palette);
}

void TControl::BringToFront()
{
    if (FParent)
        FParent->MoveControl(this, true);
}

void TControl::SendToBack()
{
    if (FParent)
        FParent->MoveControl(this, false);
}

void TControl::Invalidate()
{
    if (FWidget)
        FWidget->update();
}

void TControl::Click()
{
    const TNotifyEvent handler = FOnClick;
    handler(this);
}

void TControl::Paint(QPainter &) {}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FWidget)
        FWidget->setObjectName(objectName());
}

void TControl::Guarded(const std::function<void()> &call)
{
    try {
        call();
    } catch (...) {
        Application->HandleException(nullptr);
    }
}

void TControl::SetMouseInside(bool inside)
{
    if (inside == FMouseInside)
        return;
    FMouseInside = inside;
    QList<QPointer<TControl>> &holders = PointerHolders();
    holders.removeAll(nullptr);
    if (inside) {
        holders.append(this);
    } else {
        holders.removeAll(this);
        LeavesHeld().removeAll(this);
    }
    Fire(inside ? FOnMouseEnter : FOnMouseLeave);
}

bool TControl::PointerOver(QWidget *receiver, const QPointF &global) const
{
    return FWidget && FWidget->isVisibleTo(FWidget->window()) && FWidget->window() == receiver->window() &&
           FWidget->rect().contains(FWidget->mapFromGlobal(global).toPoint());
}

void TControl::PointerMoved(QWidget *receiver, const QPointF &global, bool heldOnly)
{
    const QList<QPointer<TControl>> holders = heldOnly ? LeavesHeld() : PointerHolders();
    for (const QPointer<TControl> &holder : holders)
        if (holder && holder->FMouseInside && !holder->IsDestroying() && !holder->PointerOver(receiver, global))
            holder->SetMouseInside(false);
}

bool TControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FWidget || IsDestroying())
        return false;
    const bool consume = ClicksOnMouseUp() && dynamic_cast<TControlWidget *>(FWidget.data()) != nullptr;
    QPointer<TControl> alive(this);
    switch (event->type()) {
    case QEvent::Enter:
        // The pointer came to this control: a control hidden under it has
        // its leave before this one's enter.
        if (gHiding == 0)
            PointerMoved(FWidget, static_cast<QEnterEvent *>(event)->globalPosition(), true);
        if (alive)
            SetMouseInside(true);
        return false;
    case QEvent::Leave:
        // A control hidden under the pointer keeps it until the pointer moves.
        if (gHiding == 0 && FWidget->isVisibleTo(FWidget->window()))
            SetMouseInside(false);
        else if (FMouseInside && !LeavesHeld().contains(this))
            LeavesHeld().append(this);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        TMouseButton button;
        if (!ToMouseButton(mouse->button(), &button))
            return false;
        TShiftState shift = ShiftOf(mouse->modifiers(), mouse->buttons());
        const QPoint at = mouse->position().toPoint();
        if (event->type() == QEvent::MouseButtonDblClick) {
            shift << ssDouble;
            if (button == mbLeft)
                Fire(FOnDblClick);
            if (!alive)
                return true;
        }
        if (button == mbLeft)
            FClicked = true;
        const TMouseEvent handler = FOnMouseDown;
        Guarded([&] { handler(this, button, shift, at.x(), at.y()); });
        return consume || !alive;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        TMouseButton button;
        if (!ToMouseButton(mouse->button(), &button))
            return false;
        const TShiftState shift = ShiftOf(mouse->modifiers(), mouse->buttons());
        const QPoint at = mouse->position().toPoint();
        if (button == mbLeft && FClicked) {
            FClicked = false;
            if (ClicksOnMouseUp() && ClientRect().contains(at))
                Guarded([&] { Click(); });
            if (!alive)
                return true;
        }
        const TMouseEvent handler = FOnMouseUp;
        Guarded([&] { handler(this, button, shift, at.x(), at.y()); });
        return consume || !alive;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        // While a button is held the control has the mouse: it sees the
        // pointer leave and come back through the moves.
        if (mouse->buttons() != Qt::NoButton)
            SetMouseInside(QRect(0, 0, FWidth, FHeight).contains(at));
        else if (event->spontaneous())
            PointerMoved(FWidget, mouse->globalPosition(), false);
        if (!alive)
            return true;
        const TShiftState shift = ShiftOf(mouse->modifiers(), mouse->buttons());
        const TMouseMoveEvent handler = FOnMouseMove;
        Guarded([&] { handler(this, shift, at.x(), at.y()); });
        return consume || !alive;
    }
    default:
        return false;
    }
}

TGraphicControl::TGraphicControl(TComponent *AOwner) : TControl(AOwner) {}
