#include "Button.h"

#include <QPainter>
#include <QPushButton>

#include "AnsiText.h"
#include "Bevels.h"
#include "Colors.h"
#include "Form.h"
#include "TextLines.h"

namespace {

// The button's widget: Qt's push button for its behaviour (press, release,
// click, Space), drawn by the control.
class TButtonWidget : public QPushButton {
public:
    explicit TButtonWidget(TButton *button) : FButton(button) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        FButton->Paint(painter);
    }

private:
    TButton *FButton;
};

} // namespace

TButton::TButton(TComponent *AOwner) : TWinControl(AOwner)
{
    auto *widget = new TButtonWidget(this);
    widget->setAutoDefault(false);
    SetWidget(widget);
    connect(widget, &QPushButton::clicked, this, [this] {
        if (!IsDestroying())
            Guarded([this] { Click(); });
    });
    SetParentColor(false);
    SetColor(clBtnFace);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Default)
{
    FDefault = Default;
    Invalidate();
}

void TButton::Click()
{
    if (TForm *form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::Paint(QPainter &painter)
{
    auto *button = static_cast<QPushButton *>(Widget());
    const bool down = button->isDown();
    QRect rect(0, 0, Width(), Height());
    painter.fillRect(rect, ToQColor(Color()));
    const QColor dark = ToQColor(cl3DDkShadow);
    if (FDefault || button->hasFocus())
        DrawFrame3D(painter, &rect, dark, dark, 1);
    if (down) {
        DrawFrame3D(painter, &rect, ToQColor(clBtnShadow), ToQColor(clBtnShadow), 1);
    } else {
        DrawFrame3D(painter, &rect, ToQColor(clBtnHighlight), dark, 1);
        DrawFrame3D(painter, &rect, ToQColor(cl3DLight), ToQColor(clBtnShadow), 1);
    }
    PaintFace(painter, rect, down);
    if (button->hasFocus()) {
        QPen dotted(ToQColor(clWindowText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(0, 0, Width(), Height()).adjusted(4, 4, -5, -5));
    }
}

void TButton::PaintFace(QPainter &painter, const QRect &face, bool down)
{
    const QString caption = WithoutAccelerators(AnsiToText(Caption()));
    painter.setFont(Font()->ToQFont());
    const QRect area = down ? face.translated(1, 1) : face;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (Enabled()) {
        painter.setPen(ToQColor(Font()->Color()));
        painter.drawText(area, flags, caption);
    } else {
        painter.setPen(ToQColor(clBtnHighlight));
        painter.drawText(area.translated(1, 1), flags, caption);
        painter.setPen(ToQColor(clBtnShadow));
        painter.drawText(area, flags, caption);
    }
}
