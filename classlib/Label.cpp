#include "Label.h"

#include <QFontMetrics>
#include <QPainter>

#include "AnsiText.h"
#include "Colors.h"
#include "ControlWidget.h"
#include "TextLines.h"

TLabel::TLabel(TComponent *AOwner) : TGraphicControl(AOwner)
{
    SetWidget(new TControlWidget(this));
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool AutoSize)
{
    if (AutoSize == FAutoSize)
        return;
    FAutoSize = AutoSize;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment Alignment)
{
    if (Alignment == FAlignment)
        return;
    FAlignment = Alignment;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Layout)
{
    FLayout = Layout;
    Invalidate();
}

void TLabel::SetWordWrap(bool WordWrap)
{
    if (WordWrap == FWordWrap)
        return;
    FWordWrap = WordWrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool Transparent)
{
    FTransparent = Transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool ShowAccelChar)
{
    FShowAccelChar = ShowAccelChar;
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

QString TLabel::ShownText() const
{
    // Drawn as Windows draws 8-bit text: in the code page of the font's
    // character set.
    const QString text = AnsiToText(Caption().str(), Font()->CodePage());
    return FShowAccelChar ? WithoutAccelerators(text) : text;
}

QStringList TLabel::ShownLines() const
{
    const QFontMetrics metrics(Font()->ToQFont());
    return TextLines(ShownText(), metrics, FWordWrap, ClientWidth());
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || Loading())
        return;
    const QFontMetrics metrics(Font()->ToQFont());
    QString text = ShownText();
    // An empty caption is measured as one space, so the label keeps a line.
    if (text.isEmpty())
        text = QStringLiteral(" ");
    const QStringList lines = TextLines(text, metrics, FWordWrap, Width());
    const int width = TextLinesWidth(lines, metrics);
    const int height = static_cast<int>(lines.size()) * metrics.height();
    int left = Left();
    if (FAlignment == taRightJustify)
        left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void TLabel::Paint(QPainter &painter)
{
    if (!FTransparent)
        painter.fillRect(QRect(0, 0, Width(), Height()), ToQColor(Color()));
    const QFont font = Font()->ToQFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QStringList lines = ShownLines();
    const int lineHeight = metrics.height();
    const int textHeight = static_cast<int>(lines.size()) * lineHeight;
    int top = 0;
    if (FLayout == tlCenter)
        top = (Height() - textHeight) / 2;
    else if (FLayout == tlBottom)
        top = Height() - textHeight;
    for (const QString &line : lines) {
        const int lineWidth = metrics.horizontalAdvance(line);
        int left = 0;
        if (FAlignment == taRightJustify)
            left = Width() - lineWidth;
        else if (FAlignment == taCenter)
            left = (Width() - lineWidth) / 2;
        const int baseline = top + metrics.ascent();
        if (Enabled()) {
            painter.setPen(ToQColor(Font()->Color()));
            painter.drawText(left, baseline, line);
        } else {
            painter.setPen(ToQColor(clBtnHighlight));
            painter.drawText(left + 1, baseline + 1, line);
            painter.setPen(ToQColor(clBtnShadow));
            painter.drawText(left, baseline, line);
        }
        top += lineHeight;
    }
}
