// Profile (".ini") files through WritePrivateProfileStringA and
// GetPrivateProfileStringA, as Windows reads and writes them.
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Profiles.h"
#include "windows.h"

namespace {

using testsupport::ReadText;
using testsupport::WriteText;

class ProfileTest : public ::testing::Test {
protected:
    // A value as GetPrivateProfileStringA gives it, with its result.
    static std::string Get(const char *section, const char *key, const char *fallback, DWORD size = 256,
                           DWORD *result = nullptr, const char *file = "test.ini")
    {
        std::string buffer(size, '#');
        const DWORD got = GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, file);
        if (result)
            *result = got;
        return buffer.substr(0, got + ((section && key) ? 0 : 1));
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
    const std::string file_ = machine::UnixPath("C:\\Windows\\test.ini");
};

TEST_F(ProfileTest, WritesLinesAsWindowsDoesInTheWindowsFolder)
{
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "NUL", "C:\\Program Files\\x\\setup.exe", "test.ini"));
    EXPECT_EQ(ReadText(file_), "[Rename]\r\nNUL=C:\\Program Files\\x\\setup.exe\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("rename", "Second", "2", "C:\\WINDOWS\\TEST.INI"));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "a", "1", "test.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("RENAME", "nul", "replaced", "test.ini"));
    EXPECT_EQ(ReadText(file_), "[Rename]\r\nnul=replaced\r\nSecond=2\r\n[Other]\r\na=1\r\n");

    // Deleting a key, then a section; lines that are no keys stay.
    WriteText(file_, "; kept\n[Rename]\nnul=replaced\n; note\nSecond=2\n\n[Other]\na=1\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "NUL", nullptr, "test.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "Third", "3", "test.ini"));
    EXPECT_EQ(ReadText(file_), "; kept\r\n[Rename]\r\n; note\r\nSecond=2\r\nThird=3\r\n\r\n[Other]\r\na=1\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("other", nullptr, nullptr, "test.ini"));
    EXPECT_EQ(ReadText(file_), "; kept\r\n[Rename]\r\n; note\r\nSecond=2\r\nThird=3\r\n\r\n");

    // Taking something out of a file that is not there makes no file.
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "NUL", nullptr, "none.ini"));
    struct stat info;
    EXPECT_NE(stat(machine::UnixPath("C:\\Windows\\none.ini").c_str(), &info), 0);

    // A folder that is not there is an error.
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "C:\\Missing\\x.ini"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(SetFileAttributesA("C:\\Windows\\test.ini", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WritePrivateProfileStringA("Rename", "NUL", "x", "test.ini")) << "a read-only file stays";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadText(file_), "; kept\r\n[Rename]\r\n; note\r\nSecond=2\r\nThird=3\r\n\r\n");
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", "test.ini"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ProfileTest, ReadsValuesTrimmedAndUnquotedElseTheDefault)
{
    WriteText(file_, "top=before any section\r\n"
                     "[Setup] \r\n"
                     "  Path =  C:\\Program Files  \r\n"
                     "Quoted=\"  spaced  \"\r\n"
                     "Single='x'\r\n"
                     "Half=\"x\r\n"
                     "Empty=\r\n"
                     "Path=second\r\n"
                     "[Setup]\r\n"
                     "Later=not seen\r\n");
    struct Case {
        const char *section;
        const char *key;
        const char *fallback;
        std::string expected;
    };
    const Case cases[] = {
        {"setup", "PATH", "d", "C:\\Program Files"},
        {"Setup", "Quoted", "d", "  spaced  "},
        {"Setup", "Single", "d", "x"},
        {"Setup", "Half", "d", "\"x"},
        {"Setup", "Empty", "d", ""},
        {"Setup", "Missing", "fallback  ", "fallback"},
        {"Setup", "Missing", nullptr, ""},
        {"Setup", "Later", "d", "d"},
        {"None", "Path", "d", "d"},
        {"Setup", "top", "d", "d"},
    };
    for (const Case &c : cases) {
        DWORD result = 0;
        EXPECT_EQ(Get(c.section, c.key, c.fallback, 256, &result), c.expected) << c.section << "/" << c.key;
        EXPECT_EQ(result, c.expected.size());
    }
    EXPECT_EQ(Get("Setup", "Path", "d", 256, nullptr, "missing.ini"), "d") << "a missing file gives the default";

    // Too small: cut to fit with its NUL.
    DWORD result = 0;
    EXPECT_EQ(Get("Setup", "Path", "d", 5, &result), "C:\\P");
    EXPECT_EQ(result, 4u);
    EXPECT_EQ(Get("Setup", "Path", "d", 0, &result), "");
    EXPECT_EQ(result, 0u);
}

TEST_F(ProfileTest, ListsSectionsAndKeys)
{
    WriteText(file_, "[One]\r\na=1\r\n; comment\r\nb=2\r\n[Two]\r\n[one]\r\nc=3\r\n");
    DWORD result = 0;
    EXPECT_EQ(Get(nullptr, nullptr, "d", 256, &result), std::string("One\0Two\0\0", 9));
    EXPECT_EQ(result, 8u);
    EXPECT_EQ(Get("ONE", nullptr, "d", 256, &result), std::string("a\0b\0\0", 5));
    EXPECT_EQ(result, 4u);
    EXPECT_EQ(Get("Two", nullptr, "d", 256, &result), std::string("\0", 1));
    EXPECT_EQ(result, 0u);
    // Too small: cut, and still ended by two NULs.
    EXPECT_EQ(Get(nullptr, nullptr, "d", 6, &result), std::string("One\0\0", 5));
    EXPECT_EQ(result, 4u);
}

TEST_F(ProfileTest, AddedLinesKeepEveryLineOfTheSameKey)
{
    // Another program's pending deletion is there first.
    WriteText(file_, "; made by hand\n[rename]\nNUL=C:\\Other\\old.exe\n\n[Later]\nx=1\n");
    ASSERT_TRUE(machine::AddProfileLine("test.ini", "Rename", "NUL", "C:\\Program Files\\x\\setup.exe"));
    EXPECT_EQ(ReadText(file_), "; made by hand\r\n[rename]\r\nNUL=C:\\Other\\old.exe\r\n"
                               "NUL=C:\\Program Files\\x\\setup.exe\r\n\r\n[Later]\r\nx=1\r\n");
    // A file or a section that is not there yet is made.
    ASSERT_TRUE(machine::AddProfileLine("C:\\Windows\\fresh.ini", "Rename", "NUL", "C:\\a.exe"));
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\Windows\\fresh.ini")), "[Rename]\r\nNUL=C:\\a.exe\r\n");
    ASSERT_TRUE(machine::AddProfileLine("fresh.ini", "Other", "k", "v"));
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\Windows\\fresh.ini")), "[Rename]\r\nNUL=C:\\a.exe\r\n[Other]\r\nk=v\r\n");
    // No temporary file is left beside them.
    DIR *windows = opendir(machine::UnixPath("C:\\Windows").c_str());
    ASSERT_NE(windows, nullptr);
    while (const dirent *entry = readdir(windows))
        EXPECT_EQ(std::string(entry->d_name).find(".~"), std::string::npos) << entry->d_name;
    closedir(windows);
}

TEST_F(ProfileTest, AddingALineRefusesWhatItMustNotWrite)
{
    const std::string before = "[Rename]\r\nNUL=C:\\Other\\old.exe\r\n";
    WriteText(file_, before);
    const struct {
        const char *section;
        const char *key;
        const char *value;
    } bad[] = {{"Rename", "NUL", "C:\\a.exe\r\n[Evil]"}, {"Rename", "", "x"},     {"Rename", nullptr, "x"},
               {"Rename", "NUL", nullptr},                {"Re]name", "NUL", "x"}, {"Rename", "NUL=x", "y"}};
    for (const auto &line : bad) {
        EXPECT_FALSE(machine::AddProfileLine("test.ini", line.section, line.key, line.value));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    ASSERT_TRUE(SetFileAttributesA("C:\\Windows\\test.ini", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(machine::AddProfileLine("test.ini", "Rename", "NUL", "C:\\a.exe"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadText(file_), before);
    EXPECT_FALSE(machine::AddProfileLine("C:\\Windows", "Rename", "NUL", "C:\\a.exe"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A link in the file's place is replaced; what it leads to stays as it was.
    testsupport::TempFolder host("arv-host");
    WriteText(host.File("elsewhere.ini"), before);
    ASSERT_EQ(symlink(host.File("elsewhere.ini").c_str(), machine::UnixPath("C:\\Windows\\linked.ini").c_str()), 0);
    ASSERT_TRUE(machine::AddProfileLine("linked.ini", "Rename", "NUL", "C:\\a.exe"));
    EXPECT_EQ(ReadText(host.File("elsewhere.ini")), before);
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\Windows\\linked.ini")), before + "NUL=C:\\a.exe\r\n");
}

TEST_F(ProfileTest, LinesAddedAndSetByManyProcessesAtOnceAreAllKept)
{
    // Processes that add lines (each file replaced by a new one) and that
    // set keys (written in place) at the same time: nothing is lost.
    constexpr int kProcesses = 6;
    constexpr int kLines = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(testsupport::ForkChild([p] {
            for (int i = 0; i < kLines; ++i) {
                const std::string value = "C:\\p" + std::to_string(p) + "\\f" + std::to_string(i) + ".exe";
                const bool ok = p % 2 == 0 ? machine::AddProfileLine("test.ini", "Rename", "NUL", value.c_str())
                                           : WritePrivateProfileStringA("Keys", ("k" + std::to_string(p) + "_" +
                                                                                  std::to_string(i)).c_str(),
                                                                        value.c_str(), "test.ini");
                if (!ok)
                    return 1;
            }
            return 0;
        }));
    }
    for (pid_t child : children)
        EXPECT_EQ(testsupport::ExitCodeOf(testsupport::WaitForExit(child, 120000)), 0);
    const std::string text = ReadText(file_);
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kLines; ++i) {
            const std::string value = "C:\\p" + std::to_string(p) + "\\f" + std::to_string(i) + ".exe";
            const std::string line = p % 2 == 0 ? "NUL=" + value
                                                : "k" + std::to_string(p) + "_" + std::to_string(i) + "=" + value;
            EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line;
        }
    }
}

} // namespace
