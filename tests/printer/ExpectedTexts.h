// The printer program's texts that the tests expect on screen, written out
// here in UTF-8 so that a wrong byte in the program's table shows up.
#pragma once

#include <string>

namespace printer_test {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;

// The text of message `id` as the program holds it: English bytes, or the
// Chinese text in GB2312. Ids beyond the table's 0 to 24 give the empty text.
std::string ExpectedText(int id, int language);
// The same text in UTF-8 (what a dialog shows).
std::string ExpectedUtf8(int id, int language);

// A warning: frame 21, the status text, frame 22; an error box: 19, the
// result text, 20. As bytes (Bytes) and as shown (Utf8, "\n" breaks).
std::string WarningBytes(int id, int language);
std::string WarningShown(int id, int language);
std::string ErrorBytes(int id, int language);
std::string ErrorShown(int id, int language);

} // namespace printer_test
