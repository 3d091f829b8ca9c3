#include "ProgressBar.h"

#include <QProgressBar>

namespace {

QProgressBar *Bar(QWidget *widget) { return static_cast<QProgressBar *>(widget); }

} // namespace

TProgressBar::TProgressBar(TComponent *AOwner) : TWinControl(AOwner)
{
    auto *bar = new QProgressBar;
    bar->setTextVisible(false);
    SetWidget(bar);
    SetBounds(0, 0, 150, 16);
    UpdateBar();
}

void TProgressBar::SetMin(int Min)
{
    FMin = Min;
    if (FMax < FMin)
        FMax = FMin;
    SetPosition(FPosition);
    UpdateBar();
}

void TProgressBar::SetMax(int Max)
{
    FMax = Max;
    if (FMin > FMax)
        FMin = FMax;
    SetPosition(FPosition);
    UpdateBar();
}

void TProgressBar::SetPosition(int Position)
{
    FPosition = qBound(FMin, Position, FMax);
    UpdateBar();
}

void TProgressBar::UpdateBar()
{
    Bar(Widget())->setRange(FMin, FMax);
    Bar(Widget())->setValue(FPosition);
}
