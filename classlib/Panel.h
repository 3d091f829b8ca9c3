// TPanel: a windowed control that holds others, filled with its Color
// (button face unless set), with an outer and an inner bevel of BevelWidth
// pixels and BorderWidth pixels of its colour between them; with
// BorderStyle bsSingle a sunken two-pixel border lies outside its client
// area. Children lie in the client area; aligned children fill what the
// bevels and the border width leave. The caption is drawn centred.
#pragma once

#include "WinControl.h"

class TPanel : public TWinControl {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "BevelWidth BorderWidth")
    Q_PROPERTY(AnsiString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(ClassLibTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ClassLibTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ClassLibTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(ClassLibTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE SetParentBackground)
public:
    explicit TPanel(TComponent *AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Alignment);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut BevelInner);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut BevelOuter);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int BevelWidth);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int BorderWidth);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle BorderStyle);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool FullRepaint) { FFullRepaint = FullRepaint; }
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool ParentBackground) { FParentBackground = ParentBackground; }

    int ClientWidth() const override { return Width() - 2 * Edge(); }
    int ClientHeight() const override { return Height() - 2 * Edge(); }
    QPoint ClientOrigin() const override { return QPoint(Edge(), Edge()); }
    QRect AlignRect() const override;

    void Paint(QPainter &painter) override;

private:
    int Edge() const { return FBorderStyle == bsSingle ? 2 : 0; }
    void Relayout();

    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FParentBackground = false;
};
