#include "GuiApplication.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include <QApplication>
#include <QFileInfo>
#include <QString>

namespace {

// QApplication keeps references to argc and argv for its whole life.
int gArgumentCount = 1;
char gProgramName[PATH_MAX] = "program";
char *gArguments[] = {gProgramName, nullptr};

QApplication *MakeApplication()
{
    ssize_t length = readlink("/proc/self/exe", gProgramName, sizeof gProgramName - 1);
    if (length > 0)
        gProgramName[length] = 0;
    // Never deleted: the toolkit's statics are made on demand, some after the
    // application, so no exit handler could tear it down before them. The
    // process's end takes it.
    static QApplication *application = new QApplication(gArgumentCount, gArguments);
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
