// Captions laid out in lines as the class library draws them: a line per
// line break, and with word wrap lines broken at spaces (or between Chinese
// characters) to fit a width. A line is the font's ascent plus descent high.
#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStringList>

// The caption without its accelerator marks: "&&" is an ampersand, a lone
// "&" vanishes.
QString WithoutAccelerators(const QString &caption);

// `text` has "\n" line breaks. With `wordWrap`, lines wider than `width`
// are broken; a word wider than the width stays whole on its line.
QStringList TextLines(const QString &text, const QFontMetrics &metrics, bool wordWrap, int width);

// The widest line's width.
int TextLinesWidth(const QStringList &lines, const QFontMetrics &metrics);
