// Reading INF files through the setup library: syntax, strings, keys and
// fields, and the files it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "setupapi.h"
#include "windows.h"

namespace {

class InfFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fRoot.Made()); }

    // Writes `text` as an INF file; its Windows path.
    std::string Write(const std::string &text, const std::string &name = "test.inf")
    {
        const std::string path = fRoot.Scratch("inf") + "/" + name;
        EXPECT_TRUE(testsupport::WriteText(path, text));
        return machine::WindowsPath(path);
    }

    HINF Open(const std::string &text, DWORD style = INF_STYLE_WIN4)
    {
        UINT line = 0;
        HINF inf = SetupOpenInfFileA(Write(text).c_str(), nullptr, style, &line);
        EXPECT_NE(inf, INVALID_HANDLE_VALUE) << GetLastError() << " at line " << line;
        return inf;
    }

    // Every line of a section as "key|field|field...".
    static std::vector<std::string> Lines(HINF inf, const char *section)
    {
        std::vector<std::string> lines;
        INFCONTEXT context;
        for (bool more = SetupFindFirstLineA(inf, section, nullptr, &context); more;
             more = SetupFindNextLine(&context, &context)) {
            std::string line;
            for (DWORD i = 0; i <= SetupGetFieldCount(&context); ++i) {
                char field[256];
                EXPECT_TRUE(SetupGetStringFieldA(&context, i, field, sizeof field, nullptr));
                line += (i ? "|" : "") + std::string(field);
            }
            lines.push_back(line);
        }
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LINE_NOT_FOUND));
        return lines;
    }

    testsupport::TempMachineRoot fRoot{"arv-setup"};
};

const char kVersion[] = "[Version]\nSignature=\"$Windows NT$\"\n";

TEST_F(InfFile, ReadsLinesFieldsAndStrings)
{
    HINF inf = Open(std::string(kVersion) +
                    "; a comment line\n"
                    "[Models]\r\n"
                    "\"ARV-A700 Scanner-Printer\" = ARV_A700 , USBPRINT\\ARV ; the model\n"
                    "  %Maker% Model = \"quoted, with \"\"quotes\"\"\",  spaced out  \n"
                    "lonely\n"
                    "one, two\n"
                    "long = first, \\\n"
                    "       second\n"
                    "empty =\n"
                    "percent = 100%%, %Unknown%, \"%Maker%\"\n"
                    "[strings]\n"
                    "Maker = \"VELTRONA\"\n"
                    "[MODELS]\n"
                    "added = later\n");
    ASSERT_NE(inf, INVALID_HANDLE_VALUE);
    const std::vector<std::string> expected{
        "ARV-A700 Scanner-Printer|ARV_A700|USBPRINT\\ARV",
        "VELTRONA Model|quoted, with \"quotes\"|spaced out",
        "lonely|lonely",
        "|one|two",
        "long|first|second",
        "empty",
        "percent|100%|%Unknown%|VELTRONA",
        "added|later",
    };
    EXPECT_EQ(Lines(inf, "models"), expected);

    INFCONTEXT context;
    ASSERT_TRUE(SetupFindFirstLineA(inf, "Models", "arv-a700 SCANNER-printer", &context));
    EXPECT_EQ(context.Line, 0u);
    ASSERT_TRUE(SetupFindFirstLineA(inf, "Models", "LONELY", &context)) << "a lone field is its line's key";
    ASSERT_TRUE(SetupFindFirstLineA(inf, "Models", "Added", &context)) << "a section named twice is one";
    EXPECT_FALSE(SetupFindFirstLineA(inf, "Models", "one", &context));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LINE_NOT_FOUND));
    EXPECT_FALSE(SetupFindFirstLineA(inf, "Nothing", nullptr, &context));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LINE_NOT_FOUND));

    // Field sizes: with the NUL; a null buffer asks for the size only.
    ASSERT_TRUE(SetupFindFirstLineA(inf, "Models", "long", &context));
    DWORD size = 0;
    EXPECT_TRUE(SetupGetStringFieldA(&context, 2, nullptr, 0, &size));
    EXPECT_EQ(size, sizeof "second");
    char exact[sizeof "second"];
    EXPECT_TRUE(SetupGetStringFieldA(&context, 2, exact, sizeof exact, &size));
    EXPECT_STREQ(exact, "second");
    EXPECT_FALSE(SetupGetStringFieldA(&context, 2, exact, sizeof exact - 1, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, sizeof "second");
    EXPECT_FALSE(SetupGetStringFieldA(&context, 3, exact, sizeof exact, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetupCloseInfFile(inf);
}

struct BadInf {
    const char *label;
    std::string text;
    DWORD style;
    DWORD error;
    UINT line;
};

void PrintTo(const BadInf &c, std::ostream *out) { *out << c.label; }

class BadInfFile : public InfFile, public ::testing::WithParamInterface<BadInf> {};

TEST_P(BadInfFile, IsRefusedWithItsCodeAndLine)
{
    const BadInf &c = GetParam();
    UINT line = 99;
    EXPECT_EQ(SetupOpenInfFileA(Write(c.text).c_str(), nullptr, c.style, &line), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(line, c.line);
}

const BadInf kBadInfs[] = {
    {"NoSignature", "[Version]\nClass=Printer\n", INF_STYLE_WIN4, ERROR_WRONG_INF_STYLE, 0},
    {"OtherSignature", "[Version]\nSignature=\"$Windows 3.1$\"\n", INF_STYLE_WIN4, ERROR_WRONG_INF_STYLE, 0},
    {"LineBeforeAnySection", "\n; comment\nkey = value\n[Version]\n", INF_STYLE_WIN4, ERROR_EXPECTED_SECTION_NAME, 3},
    {"SectionNotClosed", std::string(kVersion) + "\n[Models\n", INF_STYLE_WIN4, ERROR_BAD_SECTION_NAME_LINE, 4},
    {"SectionNameTooLong", std::string(kVersion) + "[" + std::string(256, 'S') + "]\n", INF_STYLE_WIN4,
     ERROR_SECTION_NAME_TOO_LONG, 3},
};

INSTANTIATE_TEST_SUITE_P(SetupOpenInfFileA, BadInfFile, ::testing::ValuesIn(kBadInfs),
                         [](const ::testing::TestParamInfo<BadInf> &info) { return info.param.label; });

TEST_F(InfFile, OldStyleNeedsNoSignatureAndMissingFilesAreFileErrors)
{
    HINF inf = Open("[Version]\nClass=Printer\n", INF_STYLE_OLDNT | INF_STYLE_WIN4);
    EXPECT_NE(inf, INVALID_HANDLE_VALUE);
    SetupCloseInfFile(inf);
    EXPECT_EQ(SetupOpenInfFileA("C:\\Windows\\inf\\none.inf", nullptr, INF_STYLE_WIN4, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(SetupOpenInfFileA("C:\\Nowhere\\none.inf", nullptr, INF_STYLE_WIN4, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(SetupOpenInfFileA("C:\\Windows", nullptr, INF_STYLE_WIN4, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "a folder";
}

} // namespace
