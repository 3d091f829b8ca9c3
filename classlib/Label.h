// TLabel: a caption drawn on its parent. With AutoSize (the default) the
// label takes its text's size, line by line ("\r\n" breaks lines; with
// WordWrap, lines are broken to the label's width); a right-aligned label
// keeps its right edge, others their left edge. Transparent labels draw
// only their text; others fill with their Color (the parent's, unless set).
// A disabled label draws its text engraved, as the class library does.
#pragma once

#include "Control.h"

class TLabel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(AnsiString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(ClassLibTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ClassLibTypes::TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
public:
    explicit TLabel(TComponent *AOwner);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool AutoSize);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Alignment);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Layout);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool WordWrap);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Transparent);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool ShowAccelChar);

    // The lines the caption is drawn in at the label's present width.
    QStringList ShownLines() const;

    void Paint(QPainter &painter) override;
    void Loaded() override;

protected:
    void TextChanged() override { AdjustBounds(); }
    void FontChanged() override;

private:
    // Takes the text's size when AutoSize is on.
    void AdjustBounds();
    QString ShownText() const;

    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};
