#include "BitBtn.h"

#include <QPainter>
#include <QPainterPath>

#include "AnsiText.h"
#include "Colors.h"
#include "Exceptions.h"
#include "FormReader.h"
#include "Pixels.h"
#include "TextLines.h"

namespace {

struct KindLook {
    const char *caption;
    TModalResult result;
    enum { None, Tick, Cross, Question, Door } picture;
};

// In the order of TBitBtnKind.
const KindLook kKinds[] = {
    {"", mrNone, KindLook::None},           {"OK", mrOk, KindLook::Tick},
    {"Cancel", mrCancel, KindLook::Cross},  {"&Help", mrNone, KindLook::Question},
    {"&Yes", mrYes, KindLook::Tick},        {"&No", mrNo, KindLook::Cross},
    {"&Close", mrNone, KindLook::Door},     {"Abort", mrAbort, KindLook::Cross},
    {"&Retry", mrRetry, KindLook::None},    {"&Ignore", mrIgnore, KindLook::None},
    {"&All", mrAll, KindLook::Tick},
};

// The kinds' pictures, drawn: an 18-pixel tick, cross, question mark, door.
QImage KindPicture(TBitBtnKind kind)
{
    const auto picture = kKinds[kind].picture;
    if (picture == KindLook::None)
        return QImage();
    QImage image(18, 18, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case KindLook::Tick: {
        painter.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        QPainterPath path;
        path.moveTo(3, 9);
        path.lineTo(7, 13);
        path.lineTo(15, 4);
        painter.drawPath(path);
        break;
    }
    case KindLook::Cross:
        painter.setPen(QPen(QColor(192, 0, 0), 3));
        painter.drawLine(4, 4, 14, 14);
        painter.drawLine(14, 4, 4, 14);
        break;
    case KindLook::Question: {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 128));
        painter.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case KindLook::Door:
        painter.fillRect(QRect(4, 2, 10, 14), QColor(128, 64, 0));
        painter.fillRect(QRect(11, 9, 2, 2), QColor(255, 255, 0));
        break;
    case KindLook::None:
        break;
    }
    return image;
}

// The glyph with its bottom-left colour made transparent.
QImage WithTransparency(const QImage &picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == (transparent & 0xFFFFFF))
                row[x] = 0;
    }
    return image;
}

// The engraved look of a disabled glyph: its dark pixels in the shadow
// colour over the same in the highlight colour, one pixel down and right.
QImage Engraved(const QImage &glyph)
{
    QImage image(glyph.width() + 1, glyph.height() + 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb shadow = ToQColor(clBtnShadow).rgb();
    const QRgb light = ToQColor(clBtnHighlight).rgb();
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                const QRgb pixel = glyph.pixel(x, y);
                if (qAlpha(pixel) == 0 || qGray(pixel) >= 192)
                    continue;
                if (pass == 0)
                    image.setPixel(x + 1, y + 1, light);
                else
                    image.setPixel(x, y, shadow);
            }
    return image;
}

} // namespace

TBitBtn::TBitBtn(TComponent *AOwner) : TButton(AOwner) {}

void TBitBtn::SetGlyphFileName(const AnsiString &FileName)
{
    if (FileName.IsEmpty()) {
        FGlyphFileName = FileName;
        SetGlyph(QImage());
        return;
    }
    const QString path = FormFilePath(FileName);
    QImage picture(path);
    if (picture.isNull())
        throw Exception("Cannot read the picture " + AnsiString(path.toStdString()));
    FGlyphFileName = FileName;
    SetGlyph(picture);
}

void TBitBtn::SetGlyph(const QImage &Glyph)
{
    FGlyph = WithTransparency(Glyph);
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Kind)
{
    FKind = Kind;
    if (Kind != bkCustom) {
        SetCaption(kKinds[Kind].caption);
        SetModalResult(kKinds[Kind].result);
        SetDefault(Kind == bkOK || Kind == bkYes);
        SetCancel(Kind == bkCancel || Kind == bkNo);
    }
    Invalidate();
}

void TBitBtn::SetSpacing(int Spacing)
{
    FSpacing = ClampPixels(Spacing);
    Invalidate();
}

void TBitBtn::SetMargin(int Margin)
{
    FMargin = ClampPixels(Margin);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Layout)
{
    FLayout = Layout;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int NumGlyphs)
{
    FNumGlyphs = qBound(1, NumGlyphs, 4);
    Invalidate();
}

QImage TBitBtn::ShownGlyph(bool enabled) const
{
    QImage glyph = FGlyph.isNull() && FGlyphFileName.IsEmpty() ? KindPicture(FKind) : FGlyph;
    if (glyph.isNull())
        return glyph;
    if (FNumGlyphs > 1) {
        const int width = glyph.width() / FNumGlyphs;
        return glyph.copy(enabled ? 0 : width, 0, width, glyph.height());
    }
    return enabled ? glyph : Engraved(glyph);
}

void TBitBtn::PaintFace(QPainter &painter, const QRect &face, bool down)
{
    const QImage glyph = ShownGlyph(Enabled());
    const QString caption = WithoutAccelerators(AnsiToText(Caption()));
    const QFont font = Font()->ToQFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QSize text(caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption),
                     caption.isEmpty() ? 0 : metrics.height());
    const QSize picture = glyph.isNull() ? QSize(0, 0) : glyph.size();
    const bool across = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int gap = picture.isEmpty() || text.isEmpty() ? 0 : FSpacing;
    const QRect area(0, 0, Width(), Height());
    // The block of glyph and caption, centred, or Margin from its edge.
    const int blockWidth = across ? picture.width() + gap + text.width() : qMax(picture.width(), text.width());
    const int blockHeight = across ? qMax(picture.height(), text.height()) : picture.height() + gap + text.height();
    int x = (area.width() - blockWidth) / 2;
    int y = (area.height() - blockHeight) / 2;
    if (FMargin >= 0) {
        if (FLayout == blGlyphLeft)
            x = FMargin;
        else if (FLayout == blGlyphRight)
            x = area.width() - FMargin - blockWidth;
        else if (FLayout == blGlyphTop)
            y = FMargin;
        else
            y = area.height() - FMargin - blockHeight;
    }
    QPoint glyphAt, textAt;
    switch (FLayout) {
    case blGlyphLeft:
        glyphAt = QPoint(x, (area.height() - picture.height()) / 2);
        textAt = QPoint(x + picture.width() + gap, (area.height() - text.height()) / 2);
        break;
    case blGlyphRight:
        textAt = QPoint(x, (area.height() - text.height()) / 2);
        glyphAt = QPoint(x + text.width() + gap, (area.height() - picture.height()) / 2);
        break;
    case blGlyphTop:
        glyphAt = QPoint((area.width() - picture.width()) / 2, y);
        textAt = QPoint((area.width() - text.width()) / 2, y + picture.height() + gap);
        break;
    case blGlyphBottom:
        textAt = QPoint((area.width() - text.width()) / 2, y);
        glyphAt = QPoint((area.width() - picture.width()) / 2, y + text.height() + gap);
        break;
    }
    const QPoint press = down ? QPoint(1, 1) : QPoint(0, 0);
    painter.save();
    painter.setClipRect(face);
    if (!glyph.isNull())
        painter.drawImage(glyphAt + press, glyph);
    if (!caption.isEmpty()) {
        const QPoint baseline = textAt + press + QPoint(0, metrics.ascent());
        if (Enabled()) {
            painter.setPen(ToQColor(Font()->Color()));
            painter.drawText(baseline, caption);
        } else {
            painter.setPen(ToQColor(clBtnHighlight));
            painter.drawText(baseline + QPoint(1, 1), caption);
            painter.setPen(ToQColor(clBtnShadow));
            painter.drawText(baseline, caption);
        }
    }
    painter.restore();
}
