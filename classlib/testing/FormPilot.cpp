#include "FormPilot.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include "Control.h"
#include "GuiApplication.h"

namespace classlib_testing {
namespace {

Qt::MouseButton ToQt(TMouseButton button)
{
    switch (button) {
    case mbLeft: return Qt::LeftButton;
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    }
    return Qt::NoButton;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState shift)
{
    Qt::KeyboardModifiers modifiers;
    if (shift.Contains(ssShift))
        modifiers |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl))
        modifiers |= Qt::ControlModifier;
    if (shift.Contains(ssAlt))
        modifiers |= Qt::AltModifier;
    return modifiers;
}

// The widget and its parents up to its window, innermost first.
QList<QWidget *> Chain(QWidget *widget)
{
    QList<QWidget *> chain;
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
        chain.append(widget);
    return chain;
}

} // namespace

std::string PicturePath(const std::string &folder, const std::string &name)
{
    return std::string(ARV_PICTURES_DIR) + "/" + folder + "/" + name + ".png";
}

std::string SavePicture(TControl *control, const std::string &folder, const std::string &name)
{
    if (!control || !control->Widget())
        return std::string();
    const std::string path = PicturePath(folder, name);
    const QString file = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(file).path());
    const QPixmap picture = control->Widget()->grab();
    return picture.save(file, "PNG") ? path : std::string();
}

TFormPilot::TFormPilot() { GuiApplication(); }

void TFormPilot::MoveTo(TControl *control, int x, int y)
{
    QWidget *widget = control->Widget();
    if (x < 0 && y < 0) {
        x = control->Width() / 2;
        y = control->Height() / 2;
    }
    QWidget *window = widget->window();
    MoveToPoint(window, widget->mapTo(window, QPoint(x, y)));
}

void TFormPilot::MoveOut(TControl *control)
{
    QWidget *widget = control->Widget();
    QWidget *window = widget->window();
    MoveToPoint(window, widget->mapTo(window, QPoint(-1, -1)));
}

void TFormPilot::MoveToPoint(QWidget *window, const QPoint &at)
{
    FWindow = window;
    FAt = at;
    const QPoint global = window->mapToGlobal(at);
    if (FGrabber) {
        // The pressed widget has the mouse: it alone sees the moves.
        QMouseEvent move(QEvent::MouseMove, FGrabber->mapFromGlobal(global), global, Qt::NoButton, FHeld,
                         Qt::NoModifier);
        QApplication::sendEvent(FGrabber, &move);
        return;
    }
    QWidget *under = window->rect().contains(at) ? window->childAt(at) : nullptr;
    if (!under && window->rect().contains(at))
        under = window;
    Hover(under, global);
    if (under) {
        QMouseEvent move(QEvent::MouseMove, under->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(under, &move);
    }
}

void TFormPilot::Hover(QWidget *widget, const QPoint &global)
{
    if (widget == FHovered)
        return;
    const QList<QWidget *> left = Chain(FHovered);
    const QList<QWidget *> entered = Chain(widget);
    for (QWidget *old : left)
        if (!entered.contains(old)) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(old, &leave);
        }
    for (auto it = entered.crbegin(); it != entered.crend(); ++it)
        if (!left.contains(*it)) {
            QEnterEvent enter((*it)->mapFromGlobal(global), (*it)->mapFromGlobal(global), global);
            QApplication::sendEvent(*it, &enter);
        }
    FHovered = widget;
}

void TFormPilot::SendMouse(QWidget *target, int type, Qt::MouseButton button, TShiftState shift)
{
    if (!target || !FWindow)
        return;
    const QPoint global = FWindow->mapToGlobal(FAt);
    QMouseEvent event(static_cast<QEvent::Type>(type), target->mapFromGlobal(global), global, button, FHeld,
                      ModifiersOf(shift));
    QApplication::sendEvent(target, &event);
}

void TFormPilot::Press(TMouseButton button, TShiftState shift)
{
    QWidget *target = FGrabber ? FGrabber.data() : FHovered.data();
    if (!target)
        return;
    FGrabber = target;
    FHeld |= ToQt(button);
    SendMouse(target, QEvent::MouseButtonPress, ToQt(button), shift);
}

void TFormPilot::Release(TMouseButton button, TShiftState shift)
{
    QWidget *target = FGrabber ? FGrabber.data() : FHovered.data();
    FHeld &= ~ToQt(button);
    SendMouse(target, QEvent::MouseButtonRelease, ToQt(button), shift);
    if (FHeld == Qt::NoButton) {
        FGrabber = nullptr;
        // The widget under the pointer learns of it once the mouse is free.
        if (FWindow)
            MoveToPoint(FWindow, FAt);
    }
}

void TFormPilot::Click(TControl *control, TMouseButton button, TShiftState shift)
{
    MoveTo(control);
    Press(button, shift);
    Release(button, shift);
}

void TFormPilot::Type(TControl *control, const std::string &text)
{
    QWidget *widget = control->Widget();
    widget->setFocus(Qt::OtherFocusReason);
    QWidget *target = widget->focusProxy() ? widget->focusProxy() : widget;
    for (const QChar c : QString::fromStdString(text)) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

} // namespace classlib_testing
