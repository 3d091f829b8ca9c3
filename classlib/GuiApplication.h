// The Qt application object that the class library's windows need. Programs
// that run no application loop of their own (the printer program shows only
// message dialogs) get one made on first use; it lives until the process
// exits. It is made with Qt's high-DPI scaling off and fonts at 96 dpi, so
// that forms come out in the pixels they were laid out in, and with the
// class library's colours and dialog font.
#pragma once

class QApplication;
class QString;

// The running QApplication, made now when there is no Qt application yet;
// null when a Qt application without widgets (a QCoreApplication) exists.
QApplication *GuiApplication();

// The application's title, as the class library shows it in the captions of
// plain message boxes: the display name when the program set one, else the
// program's file name without its extension.
QString ApplicationTitle();
