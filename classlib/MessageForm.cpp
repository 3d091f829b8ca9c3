#include "MessageForm.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "AnsiText.h"
#include "Font.h"

namespace {

struct ButtonLook {
    const char *caption;
    TModalResult result;
};

// Captions and results in the order of TMsgDlgBtn; Help closes nothing.
const ButtonLook kButtons[] = {
    {"&Yes", mrYes},        {"&No", mrNo},          {"OK", mrOk},
    {"Cancel", mrCancel},   {"&Abort", mrAbort},    {"&Retry", mrRetry},
    {"&Ignore", mrIgnore},  {"&All", mrAll},        {"N&o to All", mrNoToAll},
    {"Yes to &All", mrYesToAll}, {"&Help", mrNone},
};

const TMsgDlgBtn kAllButtons[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry,
                                  mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};

struct IconLook {
    QStyle::StandardPixmap pixmap;
    const char *name;
};

bool IconOf(TMsgDlgType kind, IconLook *icon)
{
    switch (kind) {
    case mtWarning: *icon = {QStyle::SP_MessageBoxWarning, "warning"}; return true;
    case mtError: *icon = {QStyle::SP_MessageBoxCritical, "error"}; return true;
    case mtInformation: *icon = {QStyle::SP_MessageBoxInformation, "information"}; return true;
    case mtConfirmation: *icon = {QStyle::SP_MessageBoxQuestion, "confirmation"}; return true;
    case mtCustom: break;
    }
    return false;
}

} // namespace

TMessageForm::TMessageForm(const QString &title, const QString &text, const std::string &bytes, TMsgDlgType kind,
                           TMsgDlgButtons buttons, bool withIcon)
    : FKind(kind), FBytes(bytes)
{
    setWindowTitle(title);
    setModal(true);
    setObjectName(QStringLiteral("MessageForm"));

    auto *body = new QHBoxLayout;
    IconLook icon;
    if (withIcon && IconOf(kind, &icon)) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("Image"));
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        picture->setPixmap(style()->standardIcon(icon.pixmap, nullptr, this).pixmap(side, side));
        picture->setAlignment(Qt::AlignTop);
        body->addWidget(picture);
        FIconKind = QString::fromLatin1(icon.name);
    }
    FText = new QLabel(this);
    FText->setObjectName(QStringLiteral("Message"));
    FText->setTextFormat(Qt::PlainText);
    FText->setWordWrap(true);
    FText->setText(text);
    body->addWidget(FText, 1);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (TMsgDlgBtn button : kAllButtons)
        if (buttons.Contains(button))
            row->addWidget(AddButton(button));
    row->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(row);

    // The class library's choice of the buttons for Enter and Escape.
    const TMsgDlgBtn defaults[] = {mbOK, mbYes, mbRetry};
    for (TMsgDlgBtn button : defaults)
        if (buttons.Contains(button)) {
            for (QPushButton *shown : FButtons)
                if (shown->property("button").toInt() == button) {
                    shown->setDefault(true);
                    shown->setFocus();
                }
            break;
        }
    const TMsgDlgBtn escapes[] = {mbCancel, mbNo, mbOK};
    for (TMsgDlgBtn button : escapes)
        if (buttons.Contains(button)) {
            for (QPushButton *shown : FButtons)
                if (shown->property("button").toInt() == button)
                    FEscapeButton = shown;
            break;
        }
}

QPushButton *TMessageForm::AddButton(TMsgDlgBtn button)
{
    const ButtonLook &look = kButtons[button];
    auto *pushButton = new QPushButton(QString::fromLatin1(look.caption), this);
    pushButton->setProperty("button", static_cast<int>(button));
    const TModalResult result = look.result;
    if (result != mrNone)
        connect(pushButton, &QPushButton::clicked, this, [this, result] { done(result); });
    FButtons.push_back(pushButton);
    return pushButton;
}

void TMessageForm::SetCharset(TFontCharset charset)
{
    FText->setText(AnsiToText(FBytes, TFont::CodePageOf(charset)));
}

QString TMessageForm::Text() const { return FText->text(); }

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (FEscapeButton)
            FEscapeButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::reject() { done(mrCancel); }
