// The machine's own programs in a fresh root (Explorer and the picture
// viewer), and the tiffcp launcher, run as the system's programs run them.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ShellFixture.h"
#include "machine/Paths.h"
#include "machine/Shell.h"

namespace {

class StandIns : public ShellFixture {};

TEST_F(StandIns, AFreshRootHasTheMachinesPrograms)
{
    for (const char *program : {machine::kExplorerProgram, machine::kImageViewerProgram}) {
        EXPECT_EQ(access(machine::UnixPath(program).c_str(), X_OK), 0) << program;
        EXPECT_EQ(GetFileAttributesA(program) & FILE_ATTRIBUTE_DIRECTORY, 0u) << program;
    }
}

TEST_F(StandIns, ExplorerRecordsWhatItIsAskedToShow)
{
    const std::string folder = machine::WindowsPath(root_.Scratch("My Scans"));
    struct Case {
        const char *verb;
        std::string file;
        std::string parameters;
        std::string recorded;
    } cases[] = {
        // The scanner's fallback: "/select," and the path, no quotes.
        {"open", "explorer.exe", "/select," + folder + "\\image_0.tif", "select\t" + folder + "\\image_0.tif"},
        {"open", machine::kExplorerProgram, "/SELECT,\"" + folder + "\\a b.tif\"", "select\t" + folder + "\\a b.tif"},
        {"open", "explorer", "/e," + folder, "explore\t" + folder},
        // A folder through the shell's class "Folder".
        {"explore", folder, "", "explore\t" + folder},
        {"open", folder, "", "open\t" + folder},
        {nullptr, folder, "", "open\t" + folder},
    };
    for (const Case &c : cases) {
        unlink(machine::ExplorerLog().c_str());
        DWORD code = 1;
        EXPECT_GT(ExecuteToEnd(c.verb, c.file, c.parameters.empty() ? nullptr : c.parameters.c_str(), &code), 32)
            << c.file << " " << c.parameters;
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(testsupport::ReadText(machine::ExplorerLog()), c.recorded + "\n") << c.file << " " << c.parameters;
    }
}

TEST_F(StandIns, TheLauncherRunsTiffcpOnWindowsPaths)
{
    // An uncompressed bilevel TIFF from a small PBM picture.
    const std::string scans = root_.Scratch("My Scans");
    const std::string pbm = scans + "/page.pbm";
    std::string picture = "P4\n16 4\n";
    for (int row = 0; row < 4; ++row)
        picture += row % 2 ? std::string("\xF0\x0F", 2) : std::string("\xFF\x00", 2);
    ASSERT_TRUE(testsupport::WriteText(pbm, picture));
    ASSERT_EQ(testsupport::RunProgram({"/usr/bin/ppm2tiff", "-c", "none", pbm, scans + "/image_0.tmp"}).code, 0);

    const std::string source = machine::WindowsPath(scans + "/image_0.tmp");
    const std::string target = machine::WindowsPath(scans + "/image_0.tif");
    const std::string parameters = "-c g3:1d \"" + source + "\" \"" + target + "\"";
    DWORD code = 1;
    EXPECT_GT(ExecuteToEnd("open", machine::WindowsPath(TIFFCP_LAUNCHER), parameters.c_str(), &code), 32);
    EXPECT_EQ(code, 0u);
    const testsupport::RunResult info = testsupport::RunProgram({"/usr/bin/tiffinfo", scans + "/image_0.tif"});
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("CCITT Group 3"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Image Width: 16 Image Length: 4"), std::string::npos) << info.out;

    // tiffcp's failure is the launcher's.
    const std::string missing = "-c g3:1d \"" + machine::WindowsPath(scans + "/none.tmp") + "\" \"" + target + "\"";
    EXPECT_GT(ExecuteToEnd("open", machine::WindowsPath(TIFFCP_LAUNCHER), missing.c_str(), &code), 32);
    EXPECT_NE(code, 0u);
}

} // namespace
