#include "Timer.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include "Application.h"
#include "GuiApplication.h"

namespace {

QThread *GuiThread()
{
    GuiApplication();
    return QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr;
}

} // namespace

TTimer::TTimer(TComponent *AOwner) : TComponent(AOwner), FTimer(new QTimer(this))
{
    FTimer->setTimerType(Qt::PreciseTimer);
    QThread *gui = GuiThread();
    if (!AOwner && gui && thread() != gui)
        moveToThread(gui);
    connect(FTimer, &QTimer::timeout, this, [this] {
        if (IsDestroying())
            return;
        try {
            FOnTimer(this);
        } catch (...) {
            Application->HandleException(this);
        }
    });
}

TTimer::~TTimer() { Destroying(); }

bool TTimer::OnGuiThread() const { return QThread::currentThread() == thread(); }

void TTimer::SetEnabled(bool Enabled)
{
    if (!OnGuiThread()) {
        QMetaObject::invokeMethod(
            this, [this, Enabled] { SetEnabled(Enabled); }, Qt::QueuedConnection);
        return;
    }
    if (Enabled == FEnabled.load())
        return;
    FEnabled = Enabled;
    UpdateTimer();
}

void TTimer::SetInterval(int Interval)
{
    if (!OnGuiThread()) {
        QMetaObject::invokeMethod(
            this, [this, Interval] { SetInterval(Interval); }, Qt::QueuedConnection);
        return;
    }
    if (Interval == FInterval.load())
        return;
    FInterval = Interval;
    UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent &Event)
{
    FOnTimer = Event;
    UpdateTimer();
}

bool TTimer::Running() const { return FTimer->isActive(); }

void TTimer::UpdateTimer()
{
    FTimer->stop();
    if (FEnabled.load() && FInterval.load() > 0 && FOnTimer.Assigned())
        FTimer->start(FInterval.load());
}
