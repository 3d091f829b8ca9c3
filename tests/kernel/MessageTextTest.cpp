// FormatMessageA: the system's texts for error codes, in the languages it
// offers them in, into an allocated or a given buffer; and the local memory
// blocks that hold them.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TempMachineRoot.h"
#include "windows.h"

namespace {

const DWORD kSystemAllocated = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER;

class MessageTextTest : public ::testing::Test {
protected:
    // The system's text for `code` in a block FormatMessageA allocates;
    // "<none>" with *error set when none came.
    static std::string SystemText(DWORD code, DWORD language, DWORD *error = nullptr, DWORD flags = 0)
    {
        char *text = reinterpret_cast<char *>(1); // must be set to null on failure
        SetLastError(0);
        const DWORD length =
            FormatMessageA(kSystemAllocated | flags, nullptr, code, language, reinterpret_cast<LPSTR>(&text), 0, nullptr);
        if (error)
            *error = GetLastError();
        if (length == 0) {
            EXPECT_EQ(text, nullptr);
            return "<none>";
        }
        std::string result(text, length);
        EXPECT_EQ(LocalFree(LocalHandle(text)), nullptr);
        return result;
    }

    testsupport::TempMachineRoot root_{"arv-kernel"};
};

TEST_F(MessageTextTest, CommonCodesHaveTheirTextsUnknownOnesNone)
{
    struct Case {
        DWORD code;
        const char *text;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
        {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
        {ERROR_FILE_EXISTS, "The file exists.\r\n"},
        {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
        {1802, "The printer already exists.\r\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SystemText(c.code, 0x400), c.text) << c.code;

    DWORD error = 0;
    for (DWORD unknown : {0xE000020Bu, 4999u, 0x12345678u}) {
        EXPECT_EQ(SystemText(unknown, 0x400, &error), "<none>") << unknown;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    }
    // A width drops the line break at the end.
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED, 0, nullptr, FORMAT_MESSAGE_MAX_WIDTH_MASK), "Access is denied.");
}

TEST_F(MessageTextTest, OnlyTheLanguagesTheTableHolds)
{
    struct Case {
        DWORD language;
        bool offered;
    };
    const Case cases[] = {
        {0, true}, {0x400, true}, {0x800, true}, {0x409, true}, {0x809, true}, {0x240C, false}, {0x40C, false},
        {0x804, false},
    };
    for (const Case &c : cases) {
        DWORD error = 0;
        const std::string text = SystemText(ERROR_FILE_NOT_FOUND, c.language, &error);
        EXPECT_EQ(text != "<none>", c.offered) << std::hex << c.language;
        if (!c.offered) {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
        }
    }
    // The machine's own language counts as one the table holds.
    ASSERT_TRUE(testsupport::WriteUiLanguage("2052"));
    EXPECT_NE(SystemText(ERROR_FILE_NOT_FOUND, 0x804), "<none>");
}

TEST_F(MessageTextTest, AGivenBufferMustHoldTheText)
{
    char buffer[64] = "untouched";
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, 19, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, 20, nullptr), 19u);
    EXPECT_STREQ(buffer, "Access is denied.\r\n");
}

TEST_F(MessageTextTest, StringsExpandTheirEscapesAndInserts)
{
    char buffer[128];
    const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>("COM3"), 42, 0xab};
    struct Case {
        const char *pattern;
        DWORD flags;
        const char *expected; // null: the call fails
    };
    const Case cases[] = {
        {"100%% sure%nnext%tcol%.", 0, "100% sure\r\nnext\tcol."},
        {"cut here%0 and not this", 0, "cut here"},
        {"%1 has %2!d! lines, %3!x!", FORMAT_MESSAGE_ARGUMENT_ARRAY, "COM3 has 42 lines, ab"},
        {"%1 stays, %2!d! too", FORMAT_MESSAGE_IGNORE_INSERTS, "%1 stays, %2!d! too"},
        {"%1 without arguments", 0, nullptr},
        {"%2!5d! is a width", FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr},
    };
    for (const Case &c : cases) {
        const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | c.flags, c.pattern, 0, 0, buffer,
                                            sizeof buffer, reinterpret_cast<va_list *>(const_cast<DWORD_PTR *>(arguments)));
        if (c.expected) {
            EXPECT_EQ(std::string(buffer, length), c.expected) << c.pattern;
        } else {
            EXPECT_EQ(length, 0u) << c.pattern;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        }
    }
}

TEST_F(MessageTextTest, LocalBlocksAreFreedOnceAndOnlyTheirOwn)
{
    char *block = static_cast<char *>(LocalAlloc(LPTR, 16));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[15], 0) << "zeroed";
    EXPECT_EQ(LocalHandle(block), block);
    EXPECT_EQ(LocalFree(block), nullptr);
    SetLastError(0);
    EXPECT_EQ(LocalFree(block), block) << "freed twice";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    char own[4];
    EXPECT_EQ(LocalFree(own), own);
    EXPECT_EQ(LocalHandle(own), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

} // namespace
