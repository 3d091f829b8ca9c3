#include "Clipboard.h"

#include <cstring>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "AnsiText.h"
#include "GuiApplication.h"

namespace {

QClipboard *SystemClipboard()
{
    return GuiApplication() ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

AnsiString TClipboard::AsText() const
{
    QClipboard *clipboard = SystemClipboard();
    if (!clipboard)
        return AnsiString();
    QString text = clipboard->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return TextToAnsi(text);
}

void TClipboard::SetAsText(const AnsiString &Text)
{
    if (QClipboard *clipboard = SystemClipboard())
        clipboard->setText(AnsiToText(AnsiString(Text.c_str()))); // up to the first NUL
}

void TClipboard::SetTextBuf(const char *Buffer)
{
    if (!Buffer) {
        Clear();
        return;
    }
    SetAsText(AnsiString(Buffer));
}

int TClipboard::GetTextBuf(char *Buffer, int BufSize) const
{
    if (!Buffer || BufSize <= 0)
        return 0;
    const AnsiString text = AsText();
    const int length = text.Length() < BufSize - 1 ? text.Length() : BufSize - 1;
    memcpy(Buffer, text.c_str(), static_cast<size_t>(length));
    Buffer[length] = '\0';
    return length;
}

bool TClipboard::HasText() const
{
    QClipboard *clipboard = SystemClipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText();
}

void TClipboard::Clear()
{
    if (QClipboard *clipboard = SystemClipboard())
        clipboard->clear();
}

TClipboard *Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
