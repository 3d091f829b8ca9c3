// The plain widget of a control that draws itself: it paints through the
// control's Paint(). Labels, images, bevels, panels and forms use it.
#pragma once

#include <QWidget>

class TControl;

class TControlWidget : public QWidget {
public:
    explicit TControlWidget(TControl *control, QWidget *parent = nullptr);

    TControl *Control() const { return FControl; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TControl *FControl;
};
