// TWinControl: a control with a window of its own, which can hold other
// controls (its children, in the order they came) and take the keyboard
// focus. It places its children that have an Align (alTop, alBottom,
// alLeft, alRight, alClient, in this order) inside its client area.
#pragma once

#include <vector>

#include <QPoint>

#include "Control.h"

class TWinControl : public TControl {
    Q_OBJECT
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(TNotifyEvent OnEnter READ OnEnter WRITE SetOnEnter)
    Q_PROPERTY(TNotifyEvent OnExit READ OnExit WRITE SetOnExit)
public:
    explicit TWinControl(TComponent *AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // The children in the order they came; null out of range.
    TControl *Controls(int Index) const;

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int TabOrder);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool TabStop);

    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();

    TNotifyEvent OnEnter() const { return FOnEnter; }
    void SetOnEnter(const TNotifyEvent &Event) { FOnEnter = Event; }
    TNotifyEvent OnExit() const { return FOnExit; }
    void SetOnExit(const TNotifyEvent &Event) { FOnExit = Event; }

    bool IsWindowed() const override { return true; }

    // The widget children are placed on, and where the client area's 0, 0
    // lies in it (past a border that is not client area).
    virtual QWidget *ClientWidget() const { return Widget(); }
    virtual QPoint ClientOrigin() const { return QPoint(0, 0); }
    // The part of the client area that aligned children fill.
    virtual QRect AlignRect() const { return ClientRect(); }
    // Places the aligned children anew.
    void Realign();
    // The client area moved or changed size within the control: places
    // every child anew and repaints.
    void ClientAreaChanged();
    // Orders the children's widgets: graphic controls below windowed ones.
    void Restack();
    // Chains the keyboard focus through the children by TabOrder.
    void UpdateTabOrder();

    void Loaded() override;

protected:
    // What a box the user types or picks in has: a colour of its own, the
    // window colour, and a tab stop.
    void SetUpEntryBox();
    void SetBounds(int Left, int Top, int Width, int Height) override;
    void FontChanged() override;
    void ColorChanged() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InsertControl(TControl *control);
    void RemoveControl(TControl *control);
    void MoveControl(TControl *control, bool toFront);
    // Places the widget of a control just added, the last of its group, as
    // Restack would, without moving its siblings.
    void StackAdded(TControl *control);
    TControl *FindLowestWindowed() const;

    std::vector<TControl *> FControls;
    int FWindowedCount = 0;
    // The first windowed child, whose widget lies lowest of theirs.
    TControl *FLowestWindowed = nullptr;
    int FTabOrder = -1;
    bool FTabStop = false;
    bool FAligning = false;
    TNotifyEvent FOnEnter;
    TNotifyEvent FOnExit;

    friend class TControl;
};
