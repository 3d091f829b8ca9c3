// Copies of INF files in the Windows folder's INF store: the names they
// get, an INF that is already there, buffers, and the copy styles.
#include <gtest/gtest.h>

#include <dirent.h>
#include <set>
#include <string>

#include "ChildProcess.h"
#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "setupapi.h"
#include "windows.h"

namespace {

constexpr const char kStore[] = "C:\\Windows\\inf\\";

class OemInf : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fRoot.Made()); }

    // The Windows path of a stand-in driver package's INF.
    static std::string MediaInf(const std::string &name)
    {
        return machine::WindowsPath(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/" + name);
    }

    std::string Write(const std::string &name, const std::string &text)
    {
        const std::string path = fRoot.Scratch("media") + "/" + name;
        EXPECT_TRUE(testsupport::WriteText(path, text));
        return machine::WindowsPath(path);
    }

    // Copies with a 260-character buffer as the installer does; the
    // destination path, or "" with the error in `error`.
    static std::string Copy(const std::string &source, DWORD style, DWORD *error = nullptr)
    {
        char destination[MAX_PATH] = "";
        DWORD required = 0;
        PSTR component = nullptr;
        const BOOL copied = SetupCopyOEMInfA(source.c_str(), nullptr, SPOST_PATH, style, destination, MAX_PATH,
                                             &required, &component);
        if (error)
            *error = copied ? 0 : GetLastError();
        if (copied || GetLastError() == ERROR_FILE_EXISTS) {
            EXPECT_EQ(required, strlen(destination) + 1);
            EXPECT_STREQ(component, strrchr(destination, '\\') + 1);
        }
        return destination;
    }

    static std::set<std::string> Store()
    {
        std::set<std::string> names;
        DIR *dir = opendir(machine::UnixPath(kStore).c_str());
        while (const dirent *entry = dir ? readdir(dir) : nullptr) {
            if (entry->d_name[0] != '.')
                names.insert(entry->d_name);
        }
        if (dir)
            closedir(dir);
        return names;
    }

    testsupport::TempMachineRoot fRoot{"arv-oeminf"};
};

TEST_F(OemInf, CopiesGetTheNextFreeNameAndAnINFAlreadyThereIsNamed)
{
    const std::string bus = MediaInf("ftdibus.inf"), port = MediaInf("ftdiport.inf");
    EXPECT_EQ(Copy(bus, SP_COPY_NOOVERWRITE), std::string(kStore) + "oem0.inf");
    EXPECT_EQ(Copy(port, SP_COPY_NOOVERWRITE), std::string(kStore) + "oem1.inf");
    EXPECT_EQ(testsupport::ReadText(machine::UnixPath("C:\\Windows\\inf\\oem1.inf")),
              testsupport::ReadText(machine::UnixPath(port.c_str())));

    DWORD error = 0;
    EXPECT_EQ(Copy(port, SP_COPY_NOOVERWRITE, &error), std::string(kStore) + "oem1.inf");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(Copy(port, 0, &error), std::string(kStore) + "oem1.inf") << "without the flag: the copy there";
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(Store(), (std::set<std::string>{"oem0.inf", "oem1.inf"}));

    // Freed numbers are taken again; other spellings hold their number.
    ASSERT_TRUE(DeleteFileA("C:\\Windows\\inf\\oem0.inf"));
    ASSERT_TRUE(testsupport::WriteText(machine::UnixPath("C:\\Windows\\inf") + "/OEM2.INF", "other"));
    EXPECT_EQ(Copy(bus, SP_COPY_NOOVERWRITE), std::string(kStore) + "oem0.inf");
    const std::string third = Write("third.inf", "[Version]\nSignature=\"$Chicago$\"\n");
    EXPECT_EQ(Copy(third, SP_COPY_NOOVERWRITE), std::string(kStore) + "oem3.inf");
}

TEST_F(OemInf, TheNameMustFitTheBuffer)
{
    const std::string bus = MediaInf("ftdibus.inf");
    const std::string expected = std::string(kStore) + "oem0.inf";
    const DWORD exact = static_cast<DWORD>(expected.size() + 1);
    DWORD required = 0;
    EXPECT_TRUE(SetupCopyOEMInfA(bus.c_str(), nullptr, SPOST_PATH, 0, nullptr, 0, &required, nullptr));
    EXPECT_EQ(required, exact) << "no buffer: the copy, and the size";

    char name[64];
    memset(name, '#', sizeof name);
    EXPECT_FALSE(SetupCopyOEMInfA(bus.c_str(), nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, name, exact - 1,
                                  &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(required, exact);
    EXPECT_EQ(name[0], '#');
    EXPECT_TRUE(SetupCopyOEMInfA(bus.c_str(), nullptr, SPOST_PATH, 0, name, exact, &required, nullptr));
    EXPECT_EQ(name, expected);
    EXPECT_EQ(Store(), std::set<std::string>{"oem0.inf"});

    EXPECT_FALSE(SetupCopyOEMInfA(bus.c_str(), nullptr, SPOST_PATH, 0, nullptr, 10, &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SetupCopyOEMInfA(bus.c_str(), nullptr, SPOST_MAX, 0, name, sizeof name, &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(OemInf, CopyStylesAndRefusedSources)
{
    const std::string package = Write("package.inf", "[Version]\nSignature=\"$Windows NT$\"\nClass=Ports\n");
    DWORD error = 0;
    EXPECT_EQ(Copy(package, SP_COPY_REPLACEONLY, &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "nothing there to replace";
    EXPECT_EQ(Copy(package, SP_COPY_DELETESOURCE), std::string(kStore) + "oem0.inf");
    EXPECT_EQ(GetFileAttributesA(package.c_str()), INVALID_FILE_ATTRIBUTES) << "the source is gone";
    EXPECT_EQ(Copy(std::string(kStore) + "oem0.inf", SP_COPY_DELETESOURCE | SP_COPY_REPLACEONLY),
              std::string(kStore) + "oem0.inf")
        << "the store's own copy stays";
    EXPECT_EQ(Store(), std::set<std::string>{"oem0.inf"});

    EXPECT_EQ(Copy(Write("plain.inf", "[Version]\nClass=Ports\n"), 0, &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_WRONG_INF_STYLE));
    EXPECT_EQ(Copy("C:\\media\\missing.inf", 0, &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Store(), std::set<std::string>{"oem0.inf"});
}

TEST_F(OemInf, ProcessesCopyingOneINFAtOnceMakeOneCopy)
{
    const std::string bus = MediaInf("ftdibus.inf");
    std::vector<pid_t> children;
    for (int i = 0; i < 4; ++i) {
        children.push_back(testsupport::ForkChild([&bus] {
            DWORD error = 0;
            const std::string name = Copy(bus, SP_COPY_NOOVERWRITE, &error);
            return name == std::string(kStore) + "oem0.inf" && (error == 0 || error == ERROR_FILE_EXISTS) ? 0 : 1;
        }));
        ASSERT_GT(children.back(), 0);
    }
    for (pid_t child : children)
        EXPECT_EQ(testsupport::ExitCodeOf(testsupport::WaitForExit(child, 60000)), 0);
    EXPECT_EQ(Store(), std::set<std::string>{"oem0.inf"});
}

} // namespace
