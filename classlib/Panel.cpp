#include "Panel.h"

#include <QPainter>

#include "AnsiText.h"
#include "Bevels.h"
#include "Colors.h"
#include "Pixels.h"
#include "ControlWidget.h"
#include "TextLines.h"

namespace {

void BevelColors(TBevelCut cut, QColor *topLeft, QColor *bottomRight)
{
    const bool lowered = cut == bvLowered;
    *topLeft = ToQColor(lowered ? clBtnShadow : clBtnHighlight);
    *bottomRight = ToQColor(lowered ? clBtnHighlight : clBtnShadow);
}

} // namespace

TPanel::TPanel(TComponent *AOwner) : TWinControl(AOwner)
{
    SetParentColor(false);
    SetColor(clBtnFace);
    SetWidget(new TControlWidget(this));
    SetBounds(0, 0, 185, 41);
}

void TPanel::Relayout() { ClientAreaChanged(); }

void TPanel::SetAlignment(TAlignment Alignment)
{
    FAlignment = Alignment;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut BevelInner)
{
    FBevelInner = BevelInner;
    Relayout();
}

void TPanel::SetBevelOuter(TBevelCut BevelOuter)
{
    FBevelOuter = BevelOuter;
    Relayout();
}

void TPanel::SetBevelWidth(int BevelWidth)
{
    FBevelWidth = qBound(1, BevelWidth, kMostPixels);
    Relayout();
}

void TPanel::SetBorderWidth(int BorderWidth)
{
    FBorderWidth = qBound(0, BorderWidth, kMostPixels);
    Relayout();
}

void TPanel::SetBorderStyle(TBorderStyle BorderStyle)
{
    FBorderStyle = BorderStyle == bsSingle ? bsSingle : bsNone;
    Relayout();
}

QRect TPanel::AlignRect() const
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    return ClientRect().adjusted(inset, inset, -inset, -inset);
}

void TPanel::Paint(QPainter &painter)
{
    if (Edge())
        DrawSunkenBorder(painter, QRect(0, 0, Width(), Height()));
    QRect rect(Edge(), Edge(), ClientWidth(), ClientHeight());
    painter.fillRect(rect, ToQColor(Color()));
    QColor topLeft, bottomRight;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, &topLeft, &bottomRight);
        DrawFrame3D(painter, &rect, topLeft, bottomRight, FBevelWidth);
    }
    rect = rect.adjusted(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, &topLeft, &bottomRight);
        DrawFrame3D(painter, &rect, topLeft, bottomRight, FBevelWidth);
    }
    const QString caption = WithoutAccelerators(AnsiToText(Caption()));
    if (caption.isEmpty())
        return;
    painter.setFont(Font()->ToQFont());
    painter.setPen(ToQColor(Enabled() ? Font()->Color() : clGrayText));
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= FAlignment == taLeftJustify ? Qt::AlignLeft : FAlignment == taRightJustify ? Qt::AlignRight
                                                                                           : Qt::AlignHCenter;
    painter.drawText(rect, flags, caption);
}
