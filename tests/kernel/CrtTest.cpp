#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "wincrt.h"

namespace {

class CrtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::WriteText(machine::DriveFolder('c') + "/Windows/Config.INC", "old");
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
};

struct OpenFailure {
    const char *name;
    const char *mode;
    errno_t error;
};

TEST_F(CrtTest, FopenSRefusesWhatWindowsRefuses)
{
    const OpenFailure cases[] = {
        {"C:\\Windows", "rb", EACCES},        // a folder
        {"c:\\windows\\system32", "wb", EACCES},
        {"C:\\missing.bin", "rb", ENOENT},
        {"C:\\No Folder\\x.bin", "wb", ENOENT},
        {"", "rb", EINVAL},                   // an empty name
        {"C:\\x.bin", "", EINVAL},
        {"C:\\x.bin", "q", EINVAL},
        {"C:\\x.bin", "rbt", EINVAL},
        {"C:\\x.bin", "rx", EINVAL},
        {"C:\\Windows\\Config.INC", "wx", EEXIST}, // made by SetUp
    };
    for (const OpenFailure &c : cases) {
        FILE *file = reinterpret_cast<FILE *>(0x1);
        EXPECT_EQ(fopen_s(&file, c.name, c.mode), c.error) << c.name << " " << c.mode;
        EXPECT_EQ(file, nullptr) << c.name;
    }
    FILE *file = nullptr;
    EXPECT_EQ(fopen_s(&file, nullptr, "rb"), EINVAL);
    EXPECT_EQ(fopen_s(&file, "C:\\x.bin", nullptr), EINVAL);
    EXPECT_EQ(fopen_s(nullptr, "C:\\x.bin", "rb"), EINVAL);
}

TEST_F(CrtTest, FopenSOpensWindowsPathsInTheRoot)
{
    FILE *file = nullptr;
    ASSERT_EQ(fopen_s(&file, "C:\\Windows\\Config.INC", "wb"), 0);
    ASSERT_NE(file, nullptr);
    fputs("C:\\Scans", file);
    fclose(file);
    EXPECT_EQ(testsupport::ReadText(machine::DriveFolder('c') + "/Windows/Config.INC"), "C:\\Scans");

    ASSERT_EQ(fopen_s(&file, "c:\\WINDOWS\\config.inc", "rb"), 0);
    char buffer[32] = {};
    EXPECT_EQ(fread(buffer, 1, sizeof buffer, file), 8u);
    EXPECT_STREQ(buffer, "C:\\Scans");
    // Streams are not passed on to programs the process starts.
    EXPECT_NE(fcntl(_fileno(file), F_GETFD) & FD_CLOEXEC, 0);
    fclose(file);
}

TEST_F(CrtTest, SetModeReturnsThePreviousMode)
{
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    EXPECT_EQ(_setmode(pipeFds[0], _O_BINARY), _O_TEXT);
    EXPECT_EQ(_setmode(pipeFds[0], _O_BINARY), _O_BINARY);
    EXPECT_EQ(_setmode(pipeFds[0], _O_TEXT), _O_BINARY);
    EXPECT_EQ(_setmode(pipeFds[0], 0x1234), -1);
    EXPECT_EQ(errno, EINVAL);
    close(pipeFds[0]);
    close(pipeFds[1]);
    EXPECT_EQ(_setmode(pipeFds[0], _O_BINARY), -1);
    EXPECT_EQ(errno, EBADF);
}

TEST_F(CrtTest, ReadPassesEveryByteUnchangedAndEndsWithZero)
{
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>(i % 256); // includes CR LF, ^Z and NUL
    ASSERT_EQ(_write(pipeFds[1], bytes.data(), static_cast<unsigned>(bytes.size())),
              static_cast<int>(bytes.size()));
    close(pipeFds[1]);

    _setmode(pipeFds[0], _O_BINARY);
    std::string got;
    char piece[2048];
    int n;
    while ((n = _read(pipeFds[0], piece, sizeof piece)) > 0) {
        EXPECT_LE(n, 2048);
        got.append(piece, static_cast<size_t>(n));
    }
    EXPECT_EQ(n, 0);
    EXPECT_EQ(got, bytes);
    close(pipeFds[0]);
    EXPECT_EQ(_read(pipeFds[0], piece, sizeof piece), -1);
    EXPECT_EQ(_write(pipeFds[0], piece, 1), -1);
    EXPECT_EQ(_fileno(stdin), 0);
}

} // namespace
