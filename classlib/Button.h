// TButton: a push button, drawn as the class library draws one (a raised
// two-pixel edge, sunk while pressed, a dark frame when it is the default
// button, a dotted focus rectangle). A click (by the mouse, or Space while
// it has the focus) sets the ModalResult of its form, then runs OnClick.
#pragma once

#include "ModalResult.h"
#include "WinControl.h"

class QPushButton;

class TButton : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(AnsiString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
public:
    explicit TButton(TComponent *AOwner);

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int ModalResult) { FModalResult = ModalResult; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Default);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Cancel) { FCancel = Cancel; }

    void Click() override;
    void Paint(QPainter &painter) override;

protected:
    // Draws what lies on the button's face inside `face`; `down` while it
    // is pressed. The plain button draws its caption centred.
    virtual void PaintFace(QPainter &painter, const QRect &face, bool down);
    bool ClicksOnMouseUp() const override { return false; }

private:
    int FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};
