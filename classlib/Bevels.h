// The class library's three-dimensional edges, drawn with the system
// colours: a raised edge is light above and left, dark below and right; a
// lowered one the reverse.
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// A one-pixel rectangle edge: top and left lines in `topLeft`, bottom and
// right lines in `bottomRight`.
void DrawEdgeRect(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight);

// `width` nested edges from the outside in; `rect` shrinks by them.
void DrawFrame3D(QPainter &painter, QRect *rect, const QColor &topLeft, const QColor &bottomRight, int width);

// The sunken two-pixel border of a windowed control with a single border.
void DrawSunkenBorder(QPainter &painter, const QRect &rect);
