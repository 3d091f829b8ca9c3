// Profile (".ini") files through WritePrivateProfileStringA and
// GetPrivateProfileStringA, as Windows reads and writes them.
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ProfileFile.h"
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
    // What is no file gives the default at once: a FIFO nobody writes, an
    // endless device, a folder.
    ASSERT_EQ(mkfifo(machine::UnixPath("C:\\Windows\\fifo.ini").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(machine::UnixPath("C:\\Windows\\folder.ini").c_str(), 0755), 0);
    for (const char *notAFile : {"C:\\Windows\\fifo.ini", "Z:\\dev\\zero", "C:\\Windows\\folder.ini"})
        EXPECT_EQ(Get("Setup", "Path", "d", 256, nullptr, notAFile), "d") << notAFile;

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

// A writer killed at any moment leaves the old file or the new one whole:
// every key it reported written is there, with its value, and the file
// keeps its permissions.
TEST_F(ProfileTest, AWriterKilledAtAnyMomentLosesNoKeyItReported)
{
    ASSERT_TRUE(WriteText(file_, "[Keys]\r\n"));
    ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::string filler(300, 'v');
    auto valueOf = [&](int key) { return std::to_string(key) + filler; };

    int reported = 0; // keys 0 .. reported - 1 were reported written
    for (int round = 0; round < 100; ++round) {
        int acks[2];
        ASSERT_EQ(pipe2(acks, O_CLOEXEC), 0);
        const int first = reported;
        const pid_t writer = testsupport::ForkChild([&] {
            close(acks[0]);
            for (int key = first;; ++key) {
                if (!WritePrivateProfileStringA("Keys", ("k" + std::to_string(key)).c_str(), valueOf(key).c_str(),
                                                "test.ini"))
                    return 1;
                if (write(acks[1], &key, sizeof key) != sizeof key)
                    return 2;
            }
        });
        close(acks[1]);
        ASSERT_GT(writer, 0);
        // Killed after a few keys and a little while, so the kill falls
        // anywhere in the next write.
        int key = 0;
        const int waitFor = std::uniform_int_distribution<int>(0, 3)(random);
        for (int i = 0; i < waitFor && read(acks[0], &key, sizeof key) == sizeof key; ++i)
            reported = key + 1;
        usleep(std::uniform_int_distribution<unsigned>(0, 3000)(random));
        ASSERT_EQ(kill(writer, SIGKILL), 0);
        while (read(acks[0], &key, sizeof key) == sizeof key) // until the pipe closes with the writer
            reported = key + 1;
        close(acks[0]);
        const int status = testsupport::WaitForExit(writer, 60000);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own: " << status;

        const platform::ProfileFile profile(ReadText(file_));
        for (int k = 0; k < reported; ++k) {
            std::string value;
            ASSERT_TRUE(profile.Find("Keys", "k" + std::to_string(k), &value)) << "round " << round << " key " << k;
            ASSERT_EQ(value, valueOf(k)) << "round " << round;
        }
    }
    EXPECT_GT(reported, 0);
    struct stat info;
    ASSERT_EQ(stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// The file a write replaces is the one the name leads to: through a link,
// the file the link names, the link staying; a link to no file is refused
// and the file it names is not made; a file with a second name is refused,
// since a new file would leave that name with the old text.
TEST_F(ProfileTest, AWriteReplacesTheFileTheNameLeadsTo)
{
    const std::string folder = machine::UnixPath("C:\\Windows");
    const std::string target = folder + "/target.ini";
    const std::string before = "[Old]\r\nkey=1\r\n";
    const std::string after = before + "[New]\r\nk=v\r\n";
    struct Case {
        const char *label;
        std::function<void()> setUp;
        bool written;
        std::string holder; // the file that holds the text afterwards
        mode_t mode;
    };
    const Case cases[] = {
        {"a file of its own", [&] { WriteText(file_, before); chmod(file_.c_str(), 0604); }, true, file_, 0604},
        {"a link to a file",
         [&] {
             WriteText(target, before);
             chmod(target.c_str(), 0660);
             symlink("target.ini", file_.c_str());
         },
         true, target, 0660},
        {"a link to no file yet",
         [&] { symlink(target.c_str(), file_.c_str()); }, false, target, 0},
        {"a file with a second name",
         [&] {
             WriteText(target, before);
             link(target.c_str(), file_.c_str());
         },
         false, target, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        unlink(file_.c_str());
        unlink(target.c_str());
        c.setUp();
        struct stat link;
        const bool wasLink = lstat(file_.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        const bool newFile = c.holder == target && stat(target.c_str(), &link) != 0;

        EXPECT_EQ(WritePrivateProfileStringA("New", "k", "v", "test.ini"), c.written ? TRUE : FALSE);
        if (!c.written) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
            if (newFile) {
                EXPECT_NE(lstat(c.holder.c_str(), &link), 0) << "the link's target is not made";
                EXPECT_TRUE(lstat(file_.c_str(), &link) == 0 && S_ISLNK(link.st_mode));
                continue;
            }
            EXPECT_EQ(ReadText(c.holder), before);
            EXPECT_EQ(ReadText(file_), before);
            continue;
        }
        EXPECT_EQ(ReadText(c.holder), newFile ? "[New]\r\nk=v\r\n" : after);
        EXPECT_EQ(Get("New", "k", "none"), "v");
        struct stat info;
        ASSERT_EQ(lstat(file_.c_str(), &info), 0);
        EXPECT_EQ(S_ISLNK(info.st_mode), wasLink) << "a link stays a link";
        ASSERT_EQ(stat(c.holder.c_str(), &info), 0);
        if (c.mode) {
            EXPECT_EQ(info.st_mode & 07777, c.mode);
        }
    }
    unlink(target.c_str());
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

    // A link, to a file or to none: neither the file it names is changed
    // nor a missing one made.
    const std::string target = machine::UnixPath("C:\\Windows\\target.ini");
    const std::string linked = machine::UnixPath("C:\\Windows\\linked.ini");
    for (bool targetThere : {true, false}) {
        SCOPED_TRACE(targetThere ? "a link to a file" : "a link to no file");
        unlink(target.c_str());
        if (targetThere)
            WriteText(target, before);
        ASSERT_EQ(symlink(target.c_str(), linked.c_str()), 0);
        EXPECT_FALSE(machine::AddProfileLine("linked.ini", "Rename", "NUL", "C:\\a.exe"));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        struct stat info;
        if (targetThere)
            EXPECT_EQ(ReadText(target), before);
        else
            EXPECT_NE(lstat(target.c_str(), &info), 0) << "the link's target is not made";
        EXPECT_TRUE(lstat(linked.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
        unlink(linked.c_str());
    }
    unlink(target.c_str());

    // A file with a second name would keep the old text under that name.
    ASSERT_TRUE(SetFileAttributesA("C:\\Windows\\test.ini", FILE_ATTRIBUTE_NORMAL));
    ASSERT_EQ(link(file_.c_str(), machine::UnixPath("C:\\Windows\\second.ini").c_str()), 0);
    EXPECT_FALSE(machine::AddProfileLine("test.ini", "Rename", "NUL", "C:\\a.exe"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadText(file_), before);
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
