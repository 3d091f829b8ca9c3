// TTimer: runs OnTimer every Interval milliseconds while Enabled, on the GUI
// thread. It runs only when it is enabled, has an interval above 0 and a
// handler. Setting Interval to a new value, or a new handler, restarts a
// running timer's count; setting the interval it already has, or Enabled to
// what it is, changes nothing.
//
// The timer belongs to the GUI thread: Enabled and Interval set on another
// thread (a worker's poll) are queued to the GUI thread and take effect
// there, in the order they were set; reading them gives the values in
// effect. A timer made on another thread is handed to the GUI thread.
#pragma once

#include <atomic>

#include "Component.h"

class QTimer;

class TTimer : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(TNotifyEvent OnTimer READ OnTimer WRITE SetOnTimer)
public:
    explicit TTimer(TComponent *AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled.load(); }
    void SetEnabled(bool Enabled);
    int Interval() const { return FInterval.load(); }
    void SetInterval(int Interval);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    // On the GUI thread only.
    void SetOnTimer(const TNotifyEvent &Event);

    // Whether the count runs now (enabled, an interval, a handler).
    bool Running() const;

private:
    void UpdateTimer();
    bool OnGuiThread() const;

    QTimer *FTimer;
    std::atomic<bool> FEnabled{true};
    std::atomic<int> FInterval{1000};
    TNotifyEvent FOnTimer;
};
