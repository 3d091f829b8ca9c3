#include "FormText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "AnsiText.h"
#include "Exceptions.h"

void FormReadError(const AnsiString &resourceName, int line, const std::string &what)
{
    throw EReadError("Error reading " + resourceName + ", line " + AnsiString(line) + ": " + AnsiString(what));
}

namespace {

// Objects and lists nest at most this deep, counted together; real forms
// nest fewer than five. Reading, building and freeing the tree recurse once
// a level, so the limit bounds the stack that a resource can take.
constexpr int kMostNesting = 256;

class Parser {
public:
    Parser(const std::string &text, const AnsiString &resource) : FText(text), FResource(resource) {}

    TFormObject Parse()
    {
        SkipBlanks();
        TFormObject root = ParseObject();
        SkipBlanks();
        if (FAt < FText.size())
            Fail("text after the end of the form");
        return root;
    }

private:
    // At the end of the text, the line of its last character that is not
    // blank: where the missing part should have been.
    [[noreturn]] void Fail(const std::string &what)
    {
        if (!AtEnd())
            FormReadError(FResource, FLine, what);
        size_t last = FText.find_last_not_of(" \t\r\n");
        if (last == std::string::npos)
            last = 0;
        FormReadError(FResource, 1 + static_cast<int>(std::count(FText.begin(), FText.begin() + last, '\n')), what);
    }

    bool AtEnd() const { return FAt >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FAt]; }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            const char c = FText[FAt];
            if (c == '\n') {
                ++FLine;
                ++FAt;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FAt;
            } else {
                break;
            }
        }
    }

    static bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    // An identifier; with `dotted`, a qualified name such as Font.Height.
    std::string Identifier(bool dotted, const char *expected)
    {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Fail(std::string(expected) + " expected");
        const size_t start = FAt;
        while (!AtEnd() && (IsIdentChar(Peek()) || (dotted && Peek() == '.' && FAt + 1 < FText.size() &&
                                                     IsIdentStart(FText[FAt + 1]))))
            ++FAt;
        return FText.substr(start, FAt - start);
    }

    static bool SameWord(const std::string &a, const char *b)
    {
        size_t i = 0;
        for (; i < a.size() && b[i]; ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return i == a.size() && !b[i];
    }

    // Counts one level of nesting for as long as it lives.
    class Level {
    public:
        Level(Parser *parser, int line) : FParser(parser)
        {
            if (++FParser->FDepth > kMostNesting)
                FormReadError(FParser->FResource, line, "nested too deeply");
        }
        ~Level() { --FParser->FDepth; }
        Level(const Level &) = delete;
        Level &operator=(const Level &) = delete;

    private:
        Parser *FParser;
    };

    void Expect(char c, const char *what)
    {
        SkipBlanks();
        if (Peek() != c)
            Fail(std::string(what) + " expected");
        ++FAt;
    }

    TFormObject ParseObject()
    {
        const Level level(this, FLine);
        TFormObject object;
        object.Line = FLine;
        const std::string keyword = Identifier(false, "object");
        if (!SameWord(keyword, "object") && !SameWord(keyword, "inherited") && !SameWord(keyword, "inline"))
            Fail("object expected, found " + keyword);
        object.Name = Identifier(false, "component name");
        SkipBlanks();
        if (Peek() == ':') {
            ++FAt;
            object.ClassName = Identifier(false, "class name");
        } else {
            object.ClassName = object.Name;
            object.Name.clear();
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Fail("end expected for " + (object.Name.empty() ? object.ClassName : object.Name));
            const size_t mark = FAt;
            const int line = FLine;
            const std::string word = Identifier(true, "property name");
            if (SameWord(word, "end"))
                return object;
            if (SameWord(word, "object") || SameWord(word, "inherited") || SameWord(word, "inline")) {
                FAt = mark;
                FLine = line;
                object.Children.push_back(ParseObject());
                continue;
            }
            TFormProperty property;
            property.Path = word;
            property.Line = line;
            Expect('=', "=");
            property.Value = ParseValue();
            object.Properties.push_back(std::move(property));
        }
    }

    TFormValue ParseValue()
    {
        SkipBlanks();
        TFormValue value;
        value.Line = FLine;
        const char c = Peek();
        if (c == '\'' || c == '#') {
            value.Type = TFormValue::String;
            value.Text = ParseString();
        } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            ParseNumber(&value);
        } else if (IsIdentStart(c)) {
            value.Type = TFormValue::Identifier;
            value.Text = Identifier(true, "value");
        } else if (c == '[') {
            ++FAt;
            value.Type = TFormValue::Set;
            SkipBlanks();
            if (Peek() != ']') {
                for (;;) {
                    value.Elements.push_back(Identifier(false, "set element"));
                    SkipBlanks();
                    if (Peek() == ']')
                        break;
                    Expect(',', "',' or ']'");
                }
            }
            ++FAt;
        } else if (c == '(') {
            const Level level(this, FLine);
            ++FAt;
            value.Type = TFormValue::List;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Fail("')' expected");
                if (Peek() == ')') {
                    ++FAt;
                    break;
                }
                value.Items.push_back(ParseValue());
            }
        } else if (c == '{') {
            ++FAt;
            value.Type = TFormValue::Binary;
            std::string hex;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Fail("'}' expected");
                const char h = Peek();
                if (h == '}') {
                    ++FAt;
                    break;
                }
                if (!std::isxdigit(static_cast<unsigned char>(h)))
                    Fail("hexadecimal digit expected");
                hex += h;
                ++FAt;
            }
            if (hex.size() % 2)
                Fail("odd number of hexadecimal digits");
            for (size_t i = 0; i < hex.size(); i += 2)
                value.Text += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
        } else {
            Fail(AtEnd() ? "value expected" : std::string("value expected, found '") + c + "'");
        }
        return value;
    }

    void ParseNumber(TFormValue *value)
    {
        const size_t start = FAt;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++FAt;
        }
        if (Peek() == '$') {
            ++FAt;
            const size_t digits = FAt;
            while (!AtEnd() && std::isxdigit(static_cast<unsigned char>(Peek())))
                ++FAt;
            if (FAt == digits || IsIdentChar(Peek()))
                Fail("number expected");
            const std::string literal = FText.substr(digits, FAt - digits);
            errno = 0;
            const unsigned long long bits = std::strtoull(literal.c_str(), nullptr, 16);
            if (errno == ERANGE || bits > static_cast<unsigned long long>(INT64_MAX))
                Fail("number out of range: $" + literal);
            // Hex numbers are bit patterns: $80000000 is a 32-bit value.
            const long long number = bits <= 0xFFFFFFFFull ? static_cast<long long>(static_cast<int32_t>(bits))
                                                           : static_cast<long long>(bits);
            value->Type = TFormValue::Integer;
            value->IntegerValue = negative ? -number : number;
            return;
        }
        const size_t digits = FAt;
        while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek())))
            ++FAt;
        if (FAt == digits)
            Fail("number expected");
        bool fraction = false;
        if (Peek() == '.' && FAt + 1 < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FAt + 1]))) {
            fraction = true;
            ++FAt;
            while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek())))
                ++FAt;
        }
        if (IsIdentChar(Peek()))
            Fail("number expected");
        const std::string literal = FText.substr(start, FAt - start);
        if (fraction) {
            value->Type = TFormValue::Number;
            value->NumberValue = std::strtod(literal.c_str(), nullptr);
            return;
        }
        errno = 0;
        value->Type = TFormValue::Integer;
        value->IntegerValue = std::strtoll(literal.c_str(), nullptr, 10);
        if (errno == ERANGE)
            Fail("number out of range: " + literal);
    }

    // One string: quoted parts and #n characters, and more joined by '+'.
    std::string ParseString()
    {
        QString text;
        for (;;) {
            SkipBlanks();
            bool any = false;
            for (;;) {
                if (Peek() == '\'') {
                    any = true;
                    ++FAt;
                    std::string part;
                    for (;;) {
                        if (AtEnd() || Peek() == '\n')
                            Fail("unterminated string");
                        if (Peek() == '\'') {
                            if (FAt + 1 < FText.size() && FText[FAt + 1] == '\'') {
                                part += '\'';
                                FAt += 2;
                                continue;
                            }
                            ++FAt;
                            break;
                        }
                        part += FText[FAt++];
                    }
                    text += QString::fromUtf8(part.data(), static_cast<int>(part.size()));
                } else if (Peek() == '#') {
                    any = true;
                    ++FAt;
                    const size_t digits = FAt;
                    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek())))
                        ++FAt;
                    if (FAt == digits)
                        Fail("character number expected after #");
                    const long code = std::strtol(FText.substr(digits, FAt - digits).c_str(), nullptr, 10);
                    if (code > 0xFFFF)
                        Fail("character number out of range");
                    text += QChar(static_cast<char16_t>(code));
                } else {
                    break;
                }
            }
            if (!any)
                Fail("string expected");
            SkipBlanks();
            if (Peek() != '+')
                break;
            ++FAt;
        }
        return TextToAnsi(text).str();
    }

    const std::string &FText;
    AnsiString FResource;
    size_t FAt = 0;
    int FLine = 1;
    int FDepth = 0;
};

} // namespace

TFormObject ParseFormText(const std::string &text, const AnsiString &resourceName)
{
    return Parser(text, resourceName).Parse();
}
