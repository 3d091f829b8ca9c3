// Test help for forms: pictures of controls and forms, and a pilot that
// works them as a user would, through Qt's events: the pointer moves into
// and out of controls (enter and leave events as the pointer crosses
// them), any mouse button is pressed and released where the pointer is
// (the widget under it receives the events, as a user's press would), and
// text is typed into a control. While a button is held, the widget pressed
// keeps the mouse: moves go to it, and it learns of leaving through them.
//
// Pictures go to <build>/pictures/<folder>/<name>.png, the build folder
// being the CMake build tree the tests were built in; tests name the folder
// after the test program and test ("forms_test/SampleForm").
#pragma once

#include <string>

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "ControlTypes.h"

class TControl;

namespace classlib_testing {

std::string PicturePath(const std::string &folder, const std::string &name);
// Draws the control (a form: its client area) into a PNG at
// PicturePath(folder, name); returns that path, or "" when it cannot.
std::string SavePicture(TControl *control, const std::string &folder, const std::string &name);

class TFormPilot {
public:
    TFormPilot();

    // The pointer to the point (x, y) of the control; (-1, -1) is its
    // centre.
    void MoveTo(TControl *control, int x = -1, int y = -1);
    // The pointer to a point of the control's window just outside the
    // control (above and left of it), or off the window.
    void MoveOut(TControl *control);
    // Press and release a button where the pointer is.
    void Press(TMouseButton button, TShiftState shift = TShiftState());
    void Release(TMouseButton button, TShiftState shift = TShiftState());
    // Into the control, press, release.
    void Click(TControl *control, TMouseButton button = mbLeft, TShiftState shift = TShiftState());
    // Focuses the control and types the text (UTF-8) key by key.
    void Type(TControl *control, const std::string &text);

    // The widget under the pointer, and the one that has the mouse.
    QWidget *Hovered() const { return FHovered; }

private:
    void MoveToPoint(QWidget *window, const QPoint &at);
    void Hover(QWidget *widget, const QPoint &global);
    void SendMouse(QWidget *target, int type, Qt::MouseButton button, TShiftState shift);

    QPointer<QWidget> FWindow;
    QPoint FAt; // in the window's coordinates
    QPointer<QWidget> FHovered;
    QPointer<QWidget> FGrabber;
    Qt::MouseButtons FHeld;
};

} // namespace classlib_testing
