#include "Bevel.h"

#include <QPainter>

#include "Bevels.h"
#include "Colors.h"
#include "ControlWidget.h"

TBevel::TBevel(TComponent *AOwner) : TGraphicControl(AOwner)
{
    SetWidget(new TControlWidget(this));
    // A bevel only frames: it has no mouse events, so a click on it goes to
    // the control beneath (a picture it frames, say).
    Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Shape)
{
    FShape = Shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Style)
{
    FStyle = Style;
    Invalidate();
}

void TBevel::Paint(QPainter &painter)
{
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor light = ToQColor(clBtnHighlight);
    // A lowered edge is dark above and left, light below and right.
    const QColor first = FStyle == bsLowered ? shadow : light;
    const QColor second = FStyle == bsLowered ? light : shadow;
    const int w = Width(), h = Height();
    switch (FShape) {
    case bsBox:
        DrawEdgeRect(painter, QRect(0, 0, w, h), first, second);
        break;
    case bsFrame:
        // Two rectangles one pixel apart: the etched look.
        DrawEdgeRect(painter, QRect(1, 1, w - 1, h - 1), second, second);
        DrawEdgeRect(painter, QRect(0, 0, w - 1, h - 1), first, first);
        break;
    case bsTopLine:
        painter.fillRect(QRect(0, 0, w, 1), first);
        painter.fillRect(QRect(0, 1, w, 1), second);
        break;
    case bsBottomLine:
        painter.fillRect(QRect(0, h - 2, w, 1), first);
        painter.fillRect(QRect(0, h - 1, w, 1), second);
        break;
    case bsLeftLine:
        painter.fillRect(QRect(0, 0, 1, h), first);
        painter.fillRect(QRect(1, 0, 1, h), second);
        break;
    case bsRightLine:
        painter.fillRect(QRect(w - 2, 0, 1, h), first);
        painter.fillRect(QRect(w - 1, 0, 1, h), second);
        break;
    case bsSpacer:
        break;
    }
}
