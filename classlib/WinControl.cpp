#include "WinControl.h"

#include <algorithm>

#include <QEvent>
#include <QWidget>

#include "Colors.h"
#include "Pixels.h"

TWinControl::TWinControl(TComponent *AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    // The class library's controls go with their parent.
    while (!FControls.empty())
        FControls.back()->Free();
}

TControl *TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        return nullptr;
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl *control)
{
    FControls.push_back(control);
    auto *windowed = qobject_cast<TWinControl *>(control);
    if (windowed && windowed->FTabOrder < 0)
        windowed->FTabOrder = FWindowedCount;
    control->FCountedWindowed = control->IsWindowed();
    if (control->FCountedWindowed) {
        ++FWindowedCount;
        if (!FLowestWindowed)
            FLowestWindowed = control;
    }
}

void TWinControl::RemoveControl(TControl *control)
{
    // Children go from the last one as a parent frees them.
    if (!FControls.empty() && FControls.back() == control)
        FControls.pop_back();
    else
        FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    if (control->FCountedWindowed)
        --FWindowedCount;
    control->FCountedWindowed = false;
    if (control == FLowestWindowed)
        FLowestWindowed = FindLowestWindowed();
    if (control->Align() != alNone && !IsDestroying())
        Realign();
}

TControl *TWinControl::FindLowestWindowed() const
{
    for (TControl *child : FControls)
        if (child->FCountedWindowed)
            return child;
    return nullptr;
}

void TWinControl::StackAdded(TControl *control)
{
    QWidget *widget = control->Widget();
    if (!widget)
        return;
    if (!control->IsWindowed() && FLowestWindowed && FLowestWindowed->Widget())
        widget->stackUnder(FLowestWindowed->Widget());
    else
        widget->raise();
}

void TWinControl::MoveControl(TControl *control, bool toFront)
{
    auto at = std::find(FControls.begin(), FControls.end(), control);
    if (at == FControls.end())
        return;
    FControls.erase(at);
    if (toFront)
        FControls.push_back(control);
    else
        FControls.insert(FControls.begin(), control);
    FLowestWindowed = FindLowestWindowed();
    Restack();
}

void TWinControl::Restack()
{
    for (int pass = 0; pass < 2; ++pass)
        for (TControl *child : FControls)
            if (child->IsWindowed() == (pass == 1) && child->Widget())
                child->Widget()->raise();
}

void TWinControl::SetBounds(int Left, int Top, int Width, int Height)
{
    const bool resized = Width != FWidth || Height != FHeight;
    TControl::SetBounds(Left, Top, Width, Height);
    if (resized)
        Realign();
}

void TWinControl::Realign()
{
    if (FAligning || IsDestroying())
        return;
    FAligning = true;
    std::vector<TControl *> byAlign[alCustom + 1];
    for (TControl *child : FControls)
        if (child->Visible() && child->Align() != alNone && child->Align() != alCustom)
            byAlign[child->Align()].push_back(child);
    auto sortBy = [](std::vector<TControl *> &list, auto key) {
        std::stable_sort(list.begin(), list.end(), [&](TControl *a, TControl *b) { return key(a) < key(b); });
    };
    sortBy(byAlign[alTop], [](TControl *c) { return c->Top(); });
    sortBy(byAlign[alBottom], [](TControl *c) { return -(c->Top() + c->Height()); });
    sortBy(byAlign[alLeft], [](TControl *c) { return c->Left(); });
    sortBy(byAlign[alRight], [](TControl *c) { return -(c->Left() + c->Width()); });

    // The edges move by the children's sizes, which add up past int for
    // enough large children: they are kept wide and clamped for each child.
    const QRect area = AlignRect();
    long long left = area.x(), top = area.y();
    long long right = left + area.width(), bottom = top + area.height();
    auto place = [](TControl *c, long long x, long long y, long long width, long long height) {
        c->SetBounds(ClampPixels(x), ClampPixels(y), ClampPixels(width), ClampPixels(height));
    };
    for (TControl *c : byAlign[alTop]) {
        place(c, left, top, right - left, c->Height());
        top += c->Height();
    }
    for (TControl *c : byAlign[alBottom]) {
        place(c, left, bottom - c->Height(), right - left, c->Height());
        bottom -= c->Height();
    }
    for (TControl *c : byAlign[alLeft]) {
        place(c, left, top, c->Width(), bottom - top);
        left += c->Width();
    }
    for (TControl *c : byAlign[alRight]) {
        place(c, right - c->Width(), top, c->Width(), bottom - top);
        right -= c->Width();
    }
    for (TControl *c : byAlign[alClient])
        place(c, left, top, right - left, bottom - top);
    FAligning = false;
}

void TWinControl::ClientAreaChanged()
{
    for (TControl *child : FControls)
        child->UpdateWidgetGeometry();
    Realign();
    Invalidate();
}

void TWinControl::SetTabOrder(int TabOrder)
{
    FTabOrder = TabOrder;
    if (Parent() && !Loading())
        Parent()->UpdateTabOrder();
}

void TWinControl::SetUpEntryBox()
{
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
}

void TWinControl::SetTabStop(bool TabStop)
{
    FTabStop = TabStop;
    if (!Widget())
        return;
    if (TabStop)
        Widget()->setFocusPolicy(Qt::StrongFocus);
    else if (Widget()->focusPolicy() & Qt::TabFocus)
        Widget()->setFocusPolicy(Qt::ClickFocus);
}

void TWinControl::UpdateTabOrder()
{
    std::vector<TWinControl *> chain;
    for (TControl *child : FControls)
        if (auto *windowed = qobject_cast<TWinControl *>(child))
            if (windowed->Widget())
                chain.push_back(windowed);
    std::stable_sort(chain.begin(), chain.end(),
                     [](TWinControl *a, TWinControl *b) { return a->FTabOrder < b->FTabOrder; });
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1]->Widget(), chain[i]->Widget());
}

bool TWinControl::CanFocus() const
{
    return Widget() && Showing() && Enabled() && Widget()->focusPolicy() != Qt::NoFocus;
}

bool TWinControl::Focused() const { return Widget() && Widget()->hasFocus(); }

void TWinControl::SetFocus()
{
    if (Widget())
        Widget()->setFocus(Qt::OtherFocusReason);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    Realign();
    UpdateTabOrder();
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl *child : FControls)
        child->ParentFontChanged();
}

void TWinControl::ColorChanged()
{
    TControl::ColorChanged();
    for (TControl *child : FControls)
        child->ParentColorChanged();
}

bool TWinControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Widget() && !IsDestroying()) {
        if (event->type() == QEvent::FocusIn)
            Fire(FOnEnter);
        else if (event->type() == QEvent::FocusOut)
            Fire(FOnExit);
    }
    return TControl::eventFilter(watched, event);
}
