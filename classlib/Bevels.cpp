#include "Bevels.h"

#include <QPainter>

#include "Colors.h"

void DrawEdgeRect(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const int left = rect.x(), top = rect.y();
    const int right = rect.x() + rect.width() - 1, bottom = rect.y() + rect.height() - 1;
    painter.fillRect(QRect(left, top, rect.width(), 1), topLeft);
    painter.fillRect(QRect(left, top, 1, rect.height()), topLeft);
    painter.fillRect(QRect(left, bottom, rect.width(), 1), bottomRight);
    painter.fillRect(QRect(right, top, 1, rect.height()), bottomRight);
}

void DrawFrame3D(QPainter &painter, QRect *rect, const QColor &topLeft, const QColor &bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        // Once nothing is left inside, the rest of the frame draws nothing.
        if (rect->isEmpty()) {
            const int rest = width - i;
            *rect = rect->adjusted(rest, rest, -rest, -rest);
            return;
        }
        DrawEdgeRect(painter, *rect, topLeft, bottomRight);
        *rect = rect->adjusted(1, 1, -1, -1);
    }
}

void DrawSunkenBorder(QPainter &painter, const QRect &rect)
{
    QRect edge = rect;
    DrawFrame3D(painter, &edge, ToQColor(clBtnShadow), ToQColor(clBtnHighlight), 1);
    DrawFrame3D(painter, &edge, ToQColor(cl3DDkShadow), ToQColor(cl3DLight), 1);
}
