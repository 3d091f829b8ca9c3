// lstrcmpA: equal only for the same bytes; otherwise the locale's word
// order, with the sign Windows gives.
#include <gtest/gtest.h>

#include "windows.h"

namespace {

TEST(Strings, ComparesAsTheLocaleSortsWords)
{
    struct Case {
        const char *first;
        const char *second;
        int result;
    } cases[] = {
        {"Scanner-Printer Virtual Port", "Scanner-Printer Virtual Port", 0},
        {"Scanner-Printer Virtual Port", "scanner-printer virtual port", 1}, // case counts, capitals after
        {"scanner-printer virtual port", "Scanner-Printer Virtual Port", -1},
        {"Scanner-Printer Virtual Port", "Scanner-Printer Virtual Port ", -1},
        {"abc", "ABD", -1}, // letters first without regard to case
        {"ABD", "abc", 1},
        {"a", "B", -1},
        {"coop", "co-op", -1}, // the hyphen counts last
        {"co-op", "cop", -1},
        {"9", "a", -1},       // digits before letters
        {"_", "0", -1},       // signs before digits
        {"", "a", -1},
        {"", "", 0},
        {nullptr, "", -1},
        {nullptr, nullptr, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(lstrcmpA(c.first, c.second), c.result)
            << (c.first ? c.first : "(null)") << " / " << (c.second ? c.second : "(null)");
        EXPECT_EQ(lstrcmpA(c.second, c.first), -c.result) << "the other way round";
    }
}

} // namespace
