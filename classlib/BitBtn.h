// TBitBtn: a push button with a picture (the glyph) beside its caption,
// the two centred together with Spacing pixels between them (Margin -1) or
// Margin pixels from the edge. The glyph is a bitmap file named in the form
// resource (Glyph = 'close.bmp', beside the resource); its bottom-left
// pixel's colour is transparent, as the class library takes it. With
// NumGlyphs 2 the second half is the disabled look; otherwise a disabled
// button draws its glyph engraved.
//
// Kind gives a standard button: bkOK is "OK" with a tick, the modal result
// mrOk and the default button; bkCancel "Cancel" with a cross and mrCancel;
// and so on for the class library's other kinds.
#pragma once

#include <QImage>

#include "Button.h"

class TBitBtn : public TButton {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "Spacing Margin")
    Q_PROPERTY(AnsiString Glyph READ GlyphFileName WRITE SetGlyphFileName)
    Q_PROPERTY(ClassLibTypes::TBitBtnKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(ClassLibTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
public:
    explicit TBitBtn(TComponent *AOwner);

    // The glyph's file; raises Exception when it cannot be read as a
    // picture. An empty name removes the glyph.
    AnsiString GlyphFileName() const { return FGlyphFileName; }
    void SetGlyphFileName(const AnsiString &FileName);
    // The glyph as loaded (empty when there is none).
    QImage Glyph() const { return FGlyph; }
    void SetGlyph(const QImage &Glyph);

    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Kind);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Spacing);
    int Margin() const { return FMargin; }
    void SetMargin(int Margin);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Layout);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int NumGlyphs);

protected:
    void PaintFace(QPainter &painter, const QRect &face, bool down) override;

private:
    // The glyph to draw: the kind's own unless a glyph was given.
    QImage ShownGlyph(bool enabled) const;

    AnsiString FGlyphFileName;
    QImage FGlyph;
    TBitBtnKind FKind = bkCustom;
    int FSpacing = 4;
    int FMargin = -1;
    TButtonLayout FLayout = blGlyphLeft;
    int FNumGlyphs = 1;
};
