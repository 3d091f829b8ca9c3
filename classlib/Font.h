// TFont: the class library's font of a control or form. Height is in pixels
// (negative: the characters' height, as form resources give it; positive:
// the cell height), Size in points at 96 pixels per inch; setting one sets
// the other. Both are clamped to the pixel bounds (Pixels.h). Color is a
// Windows colour value.
//
// Windows font names are mapped onto fonts that the setup script installs
// and that have the same widths: Arial and MS Sans Serif onto Liberation
// Sans, Times New Roman and Courier New onto Liberation Serif and Mono,
// Lucida Sans onto DejaVu Sans, Chinese fonts onto WenQuanYi Micro Hei,
// which also draws the Chinese characters of every other font.
#pragma once

#include <QFont>
#include <QStringList>

#include "Component.h"

class TFont : public TPersistent {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "Height")
    Q_CLASSINFO("Points", "Size")
    Q_PROPERTY(AnsiString Name READ Name WRITE SetName)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
    Q_PROPERTY(ClassLibTypes::TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(ClassLibTypes::TFontCharset Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(ClassLibTypes::TFontPitch Pitch READ Pitch WRITE SetPitch)
public:
    explicit TFont(QObject *parent = nullptr);

    AnsiString Name() const { return FName; }
    void SetName(const AnsiString &Name);
    int Height() const { return FHeight; }
    void SetHeight(int Height);
    int Size() const;
    void SetSize(int Size);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Style);
    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Charset);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Pitch);

    // Takes every attribute of `Source`.
    void Assign(const TFont *Source);
    bool SameAs(const TFont *Other) const;

    // The font to draw with.
    QFont ToQFont() const;
    // The families `name` is drawn with, in order of preference.
    static QStringList FamiliesFor(const AnsiString &name, TFontCharset charset);

signals:
    // Any attribute changed.
    void Changed();

private:
    AnsiString FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
};

// a * b / c rounded half away from zero, as Windows' MulDiv; -1 when c is 0
// or the result does not fit in an int.
int MulDiv(int a, int b, int c);
