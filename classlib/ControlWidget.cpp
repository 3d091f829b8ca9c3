#include "ControlWidget.h"

#include <QPainter>

#include "Control.h"

TControlWidget::TControlWidget(TControl *control, QWidget *parent) : QWidget(parent), FControl(control) {}

void TControlWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FControl->Paint(painter);
}
