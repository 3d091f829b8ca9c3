#include "TextLines.h"

namespace {

// Chinese, Japanese and Korean characters may be broken between, as
// Windows breaks double-byte text.
bool IsWideCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

void WrapLine(const QString &line, const QFontMetrics &metrics, int width, QStringList *lines)
{
    QString current;
    int at = 0;
    const int length = line.size();
    while (at < length) {
        // The next piece: a word with the spaces before it, or one wide
        // character.
        int end = at;
        while (end < length && line[end] == QLatin1Char(' '))
            ++end;
        if (end < length && IsWideCharacter(line[end])) {
            ++end;
        } else {
            while (end < length && line[end] != QLatin1Char(' ') && !IsWideCharacter(line[end]))
                ++end;
        }
        const QString piece = line.mid(at, end - at);
        const QString candidate = current + piece;
        if (current.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
            current = candidate;
        } else {
            lines->append(current);
            // The spaces at the break vanish.
            int first = 0;
            while (first < piece.size() && piece[first] == QLatin1Char(' '))
                ++first;
            current = piece.mid(first);
        }
        at = end;
    }
    lines->append(current);
}

} // namespace

QString WithoutAccelerators(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                shown += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

QStringList TextLines(const QString &text, const QFontMetrics &metrics, bool wordWrap, int width)
{
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    if (!wordWrap)
        return paragraphs;
    QStringList lines;
    for (const QString &paragraph : paragraphs)
        WrapLine(paragraph, metrics, width, &lines);
    return lines;
}

int TextLinesWidth(const QStringList &lines, const QFontMetrics &metrics)
{
    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}
