// TBevel: a drawn edge without a window: a box (bsBox), an etched double
// frame (bsFrame), or one edge line, lowered or raised.
#pragma once

#include "Control.h"

class TBevel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ClassLibTypes::TBevelShape Shape READ Shape WRITE SetShape)
    Q_PROPERTY(ClassLibTypes::TBevelStyle Style READ Style WRITE SetStyle)
public:
    explicit TBevel(TComponent *AOwner);

    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Shape);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Style);

    void Paint(QPainter &painter) override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};
