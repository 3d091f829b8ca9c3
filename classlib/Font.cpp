#include "Font.h"

#include <cstdint>

#include <QFontMetrics>

#include "AnsiText.h"
#include "Pixels.h"

namespace {

const int kPixelsPerInch = 96;
const char kCjkFamily[] = "WenQuanYi Micro Hei";

struct FontAlias {
    const char *windowsName;
    const char *family;
};

// Compared without regard to ASCII case.
const FontAlias kAliases[] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},
    {"MS Shell Dlg 2", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Tahoma", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Lucida Sans", "DejaVu Sans"},
    {"Lucida Sans Unicode", "DejaVu Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"SimSun", kCjkFamily},
    {"NSimSun", kCjkFamily},
    {"SimHei", kCjkFamily},
    {"Microsoft YaHei", kCjkFamily},
};

// Chinese names of Chinese fonts, as UTF-8.
const char *const kChineseNames[] = {"宋体", "新宋体", "黑体", "微软雅黑"};

} // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = product < 0 ? -product : product;
    const int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
    const int64_t rounded = (magnitude + divisor / 2) / divisor;
    const int64_t result = negative ? -rounded : rounded;
    if (result < INT32_MIN || result > INT32_MAX)
        return -1;
    return static_cast<int>(result);
}

TFont::TFont(QObject *parent) : TPersistent(parent) {}

void TFont::SetName(const AnsiString &Name)
{
    if (Name == FName)
        return;
    FName = Name;
    emit Changed();
}

void TFont::SetHeight(int Height)
{
    Height = ClampPixels(Height);
    if (Height == FHeight)
        return;
    FHeight = Height;
    emit Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, kPixelsPerInch); }

void TFont::SetSize(int Size) { SetHeight(-MulDiv(ClampTo(Size, kMostPoints), kPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles Style)
{
    if (Style == FStyle)
        return;
    FStyle = Style;
    emit Changed();
}

void TFont::SetColor(TColor Color)
{
    if (Color == FColor)
        return;
    FColor = Color;
    emit Changed();
}

void TFont::SetCharset(TFontCharset Charset)
{
    if (Charset == FCharset)
        return;
    FCharset = Charset;
    emit Changed();
}

void TFont::SetPitch(TFontPitch Pitch)
{
    if (Pitch == FPitch)
        return;
    FPitch = Pitch;
    emit Changed();
}

void TFont::Assign(const TFont *Source)
{
    if (!Source || SameAs(Source))
        return;
    FName = Source->FName;
    FHeight = Source->FHeight;
    FStyle = Source->FStyle;
    FColor = Source->FColor;
    FCharset = Source->FCharset;
    FPitch = Source->FPitch;
    emit Changed();
}

bool TFont::SameAs(const TFont *Other) const
{
    return FName == Other->FName && FHeight == Other->FHeight && FStyle == Other->FStyle &&
           FColor == Other->FColor && FCharset == Other->FCharset && FPitch == Other->FPitch;
}

QStringList TFont::FamiliesFor(const AnsiString &name, TFontCharset charset)
{
    const QString windowsName = AnsiToText(name).trimmed();
    QString family = windowsName;
    for (const FontAlias &alias : kAliases)
        if (windowsName.compare(QLatin1String(alias.windowsName), Qt::CaseInsensitive) == 0)
            family = QLatin1String(alias.family);
    for (const char *chinese : kChineseNames)
        if (windowsName == QString::fromUtf8(chinese))
            family = QLatin1String(kCjkFamily);

    QStringList families;
    const QString cjk = QLatin1String(kCjkFamily);
    // A Chinese character set draws with the Chinese font, Latin letters too,
    // as Windows' font mapper picks a font that has the character set.
    if (charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET)
        families << cjk;
    if (!family.isEmpty() && !families.contains(family))
        families << family;
    if (!families.contains(QLatin1String("Liberation Sans")))
        families << QStringLiteral("Liberation Sans");
    if (!families.contains(cjk))
        families << cjk;
    return families;
}

QFont TFont::ToQFont() const
{
    QFont font;
    font.setFamilies(FamiliesFor(FName, FCharset));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (FPitch == fpFixed)
        font.setFixedPitch(true);
    int pixels = FHeight < 0 ? -FHeight : FHeight;
    if (pixels == 0)
        pixels = 13;
    font.setPixelSize(pixels);
    font.setBold(FStyle.Contains(fsBold));
    font.setItalic(FStyle.Contains(fsItalic));
    font.setUnderline(FStyle.Contains(fsUnderline));
    font.setStrikeOut(FStyle.Contains(fsStrikeOut));
    if (FHeight > 0) {
        // A positive height is the character cell's: ascent plus descent.
        const int cell = QFontMetrics(font).height();
        if (cell > 0 && cell != FHeight)
            font.setPixelSize(qMax(1, MulDiv(pixels, pixels, cell)));
    }
    return font;
}
