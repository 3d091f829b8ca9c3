// The class library's text form resource, parsed into a tree:
//
//   object MainForm: TMainForm
//     Left = 192
//     Caption = 'Scanner'#13#10'second line'
//     Font.Style = [fsBold]
//     OnCreate = FormCreate
//     object Memo1: TMemo
//       Lines.Strings = (
//         'first'
//         'second')
//     end
//   end
//
// Values: integers (decimal, $hex, with a sign), numbers with a fraction,
// strings (quoted parts with '' for a quote, #n characters, joined by +
// across lines), identifiers (True, bsToolWindow, a handler's name), sets
// [a, b], lists ( ... ) of values, and binary data { hex }. The text is
// UTF-8; a string's characters, and #n above 127 as Unicode characters,
// are taken into the system's ANSI code page, as the form shows them.
// Objects and lists nest at most 256 levels deep, counted together.
// Malformed text raises EReadError naming the resource and the line.
#pragma once

#include <string>
#include <vector>

#include "AnsiString.h"

struct TFormValue {
    enum Kind { Integer, Number, String, Identifier, Set, List, Binary };
    Kind Type = Integer;
    int Line = 0;
    long long IntegerValue = 0;
    double NumberValue = 0;
    std::string Text;                   // string bytes, identifier, or binary bytes
    std::vector<std::string> Elements;  // a set's identifiers
    std::vector<TFormValue> Items;      // a list's values
};

struct TFormProperty {
    std::string Path; // "Font.Height"
    int Line = 0;
    TFormValue Value;
};

struct TFormObject {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

TFormObject ParseFormText(const std::string &text, const AnsiString &resourceName);

// Raises EReadError: "Error reading <resource>, line <line>: <what>".
[[noreturn]] void FormReadError(const AnsiString &resourceName, int line, const std::string &what);
