// Windows command lines as the programs' own start-up code splits them.
#pragma once

#include <string>
#include <vector>

namespace printui {

// Splits at blanks and tabs outside double quotes. A quote toggles quoting
// ("" inside quotes is a quote); 2n backslashes before a quote are n
// backslashes and the quote acts, 2n+1 give n backslashes and a literal
// quote; other backslashes are text. "" alone is an empty argument.
std::vector<std::string> SplitCommandLine(const std::string &line);

// The first argument of `line` and the raw rest after the blanks that
// follow it, as rundll32 takes "library,entry" and hands on the rest.
void SplitFirstArgument(const std::string &line, std::string *first, std::string *rest);

} // namespace printui
