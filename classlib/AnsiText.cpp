#include "AnsiText.h"

#include "windows.h"

QString AnsiToText(const std::string &bytes) { return AnsiToText(bytes, CP_ACP); }

QString AnsiToText(const std::string &bytes, unsigned codePage)
{
    QString text;
    if (!bytes.empty()) {
        const int length = static_cast<int>(bytes.size());
        int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
        if (units > 0) {
            std::u16string wide(static_cast<size_t>(units), u'\0');
            units = MultiByteToWideChar(codePage, 0, bytes.data(), length, &wide[0], units);
            text = QString::fromUtf16(wide.data(), units);
        } else {
            text = QString::fromLatin1(bytes.data(), length);
        }
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

AnsiString TextToAnsi(const QString &text)
{
    if (text.isEmpty())
        return AnsiString();
    const std::u16string wide = text.toStdU16String();
    const int units = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return AnsiString(text.toLatin1().toStdString());
    std::string bytes(static_cast<size_t>(length), '\0');
    length = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, &bytes[0], length, nullptr, nullptr);
    bytes.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return AnsiString(std::move(bytes));
}
