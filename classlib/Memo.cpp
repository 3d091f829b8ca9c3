#include "Memo.h"

#include <vector>

#include <QFrame>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "AnsiText.h"
#include "Colors.h"

namespace {

QPlainTextEdit *TextEdit(QWidget *widget) { return static_cast<QPlainTextEdit *>(widget); }

// The memo's lines: read from and written to its text on each call.
class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TMemo *memo) : FMemo(memo) {}

    int Count() const override { return static_cast<int>(Read().size()); }
    AnsiString Strings(int index) const override
    {
        const std::vector<AnsiString> lines = Read();
        return index >= 0 && index < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(index)]
                                                                    : AnsiString();
    }
    void SetStrings(int index, const AnsiString &s) override
    {
        std::vector<AnsiString> lines = Read();
        if (index < 0 || index >= static_cast<int>(lines.size()))
            return;
        lines[static_cast<size_t>(index)] = s;
        Write(lines);
    }
    void Insert(int index, const AnsiString &s) override
    {
        std::vector<AnsiString> lines = Read();
        if (index < 0 || index > static_cast<int>(lines.size()))
            return;
        lines.insert(lines.begin() + index, s);
        Write(lines);
    }
    void Delete(int index) override
    {
        std::vector<AnsiString> lines = Read();
        if (index < 0 || index >= static_cast<int>(lines.size()))
            return;
        lines.erase(lines.begin() + index);
        Write(lines);
    }
    void Clear() override { Write({}); }

private:
    std::vector<AnsiString> Read() const
    {
        TStringList list;
        list.SetText(FMemo->GetText());
        std::vector<AnsiString> lines;
        for (int i = 0; i < list.Count(); ++i)
            lines.push_back(list.Strings(i));
        return lines;
    }
    void Write(const std::vector<AnsiString> &lines)
    {
        TStringList list;
        for (const AnsiString &line : lines)
            list.Add(line);
        FMemo->SetText(list.Text());
    }

    TMemo *FMemo;
};

} // namespace

TMemo::TMemo(TComponent *AOwner) : TWinControl(AOwner), FLines(std::make_unique<TMemoLines>(this))
{
    auto *edit = new QPlainTextEdit;
    SetWidget(edit);
    connect(edit, &QPlainTextEdit::textChanged, this, [this] { FireUnlessDestroying(FOnChange); });
    SetUpEntryBox();
    SetBounds(0, 0, 185, 89);
    SetScrollBars(ssNone);
}

TMemo::~TMemo() = default;

AnsiString TMemo::GetText() const
{
    // The class library's memo text has "\r\n" line breaks.
    QString text = TextEdit(Widget())->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return TextToAnsi(text);
}

void TMemo::SetText(const AnsiString &Text)
{
    const QString text = AnsiToText(Text);
    if (text != TextEdit(Widget())->toPlainText())
        TextEdit(Widget())->setPlainText(text);
}

void TMemo::SetScrollBars(TScrollStyle ScrollBars)
{
    FScrollBars = ScrollBars;
    const bool horizontal = ScrollBars == ssHorizontal || ScrollBars == ssBoth;
    const bool vertical = ScrollBars == ssVertical || ScrollBars == ssBoth;
    TextEdit(Widget())->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    TextEdit(Widget())->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    UpdateWrapping();
}

void TMemo::SetReadOnly(bool ReadOnly)
{
    FReadOnly = ReadOnly;
    TextEdit(Widget())->setReadOnly(ReadOnly);
}

void TMemo::SetWordWrap(bool WordWrap)
{
    FWordWrap = WordWrap;
    UpdateWrapping();
}

void TMemo::UpdateWrapping()
{
    const bool horizontal = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    TextEdit(Widget())->setLineWrapMode(FWordWrap && !horizontal ? QPlainTextEdit::WidgetWidth
                                                                 : QPlainTextEdit::NoWrap);
}

void TMemo::SetBorderStyle(TBorderStyle BorderStyle)
{
    FBorderStyle = BorderStyle == bsSingle ? bsSingle : bsNone;
    TextEdit(Widget())->setFrameShape(FBorderStyle == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TMemo::Clear() { TextEdit(Widget())->clear(); }

void TMemo::SelectAll() { TextEdit(Widget())->selectAll(); }

void TMemo::CopyToClipboard() { TextEdit(Widget())->copy(); }

AnsiString TMemo::SelText() const
{
    QString text = TextEdit(Widget())->textCursor().selectedText();
    text.replace(QChar(0x2029), QStringLiteral("\r\n"));
    return TextToAnsi(text);
}

void TMemo::FontChanged()
{
    TWinControl::FontChanged();
    SetPaletteColor(QPalette::Text, Font()->Color());
}

void TMemo::ColorChanged()
{
    TWinControl::ColorChanged();
    SetPaletteColor(QPalette::Base, Color());
}
