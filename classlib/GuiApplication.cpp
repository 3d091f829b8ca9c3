#include "GuiApplication.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QStyleFactory>

namespace {

// QApplication keeps references to argc and argv for its whole life.
int gArgumentCount = 1;
char gProgramName[PATH_MAX] = "program";
char *gArguments[] = {gProgramName, nullptr};

// The class library's forms are laid out in pixels at 96 dots per inch:
// they must come out the same size on every display, so Qt scales nothing.
void TurnOffScaling()
{
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("QT_FONT_DPI", "96", 1);
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
    unsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
}

// The look of the class library's windows: Windows' classic colours and its
// dialog font (MS Sans Serif 8, drawn with its metric twin).
void SetLook(QApplication *application)
{
    application->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = application->palette();
    const QColor face(212, 208, 200);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(10, 36, 106));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    application->setPalette(palette);
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(11);
    application->setFont(font);
}

QApplication *MakeApplication()
{
    TurnOffScaling();
    ssize_t length = readlink("/proc/self/exe", gProgramName, sizeof gProgramName - 1);
    if (length > 0)
        gProgramName[length] = 0;
    // Never deleted: the toolkit's statics are made on demand, some after the
    // application, so no exit handler could tear it down before them. The
    // process's end takes it.
    static QApplication *application = [] {
        auto *made = new QApplication(gArgumentCount, gArguments);
        SetLook(made);
        return made;
    }();
    return application;
}

} // namespace

QApplication *GuiApplication()
{
    if (QCoreApplication *existing = QCoreApplication::instance())
        return qobject_cast<QApplication *>(existing);
    return MakeApplication();
}

QString ApplicationTitle()
{
    QString display = QGuiApplication::applicationDisplayName();
    if (!display.isEmpty() && display != QCoreApplication::applicationName())
        return display;
    return QFileInfo(QCoreApplication::applicationName()).completeBaseName();
}
