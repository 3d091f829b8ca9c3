// ShellExecuteA over a machine root: programs run with their parameters,
// documents open through the classes of HKEY_CLASSES_ROOT (the user's
// before the machine's), and failures give Windows' results.
#include <string>
#include <vector>

#include "FileContents.h"
#include "ProbeSupport.h"
#include "ShellFixture.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "machine/Shell.h"

namespace {

const char *const kRecorder = "C:\\Tools\\recorder.exe";

class ShellExecute : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        log_ = root_.Scratch("logs") + "/recorded.txt";
        // Writes its arguments, one a line, to the log its first one names.
        ASSERT_TRUE(WriteProgram(kRecorder, "#!/bin/sh\nlog=$1\nshift\nprintf '%s\\n' \"$@\" >> \"$log\"\n"));
        documents_ = root_.Scratch("documents");
        ASSERT_TRUE(testsupport::WriteText(documents_ + "/scan 1.rec", "document"));
        ASSERT_TRUE(testsupport::WriteText(documents_ + "/page.tif", "picture"));
    }

    // A class whose verb runs the recorder with `tag` and the file.
    void RecordingClass(HKEY root, const std::string &classes, const std::string &name, const std::string &tag,
                        const std::string &verb = "open")
    {
        SetDefault(root, classes + name + "\\shell\\" + verb + "\\command",
                   std::string("\"") + kRecorder + "\" " + log_ + " " + tag + " \"%1\"");
    }

    std::string Document(const std::string &name) const { return machine::WindowsPath(documents_ + "/" + name); }

    // What the recorder wrote since the last call.
    std::string Recorded()
    {
        const std::string text = testsupport::ReadText(log_);
        unlink(log_.c_str());
        return text;
    }

    std::string log_;
    std::string documents_;
};

const std::string kMachineClasses = "SOFTWARE\\Classes\\";
const std::string kUserClasses = "Software\\Classes\\";

TEST_F(ShellExecute, RunsAProgramWithItsParametersAsItsCommandLine)
{
    ASSERT_TRUE(probe::Place("C:\\Tools\\probe.exe"));
    const probe::ReportFile report = probe::ReportIn(root_.Scratch("reports"), "run.txt");
    const std::string parameters = "--report \"" + report.windowsPath + "\" \"two words\" a\\\"b --exit 4";
    const Started started = Execute("open", "C:\\TOOLS\\probe.exe", parameters.c_str(), "C:\\Windows");
    ASSERT_GT(started.result, 32);
    EXPECT_EQ(Finish(started.process), 4u);
    const std::string line = "\"C:\\Tools\\probe.exe\" " + parameters;
    EXPECT_EQ(probe::Value(report.unixPath, "line"), line) << "the program's full path, then the parameters";
    std::vector<std::string> argv = machine::SplitCommandLine(line);
    argv[0] = machine::UnixPath("C:\\Tools\\probe.exe");
    EXPECT_EQ(probe::Values(report.unixPath, "argv"), argv);
    EXPECT_EQ(probe::Value(report.unixPath, "cwd"), "C:\\Windows");

    // Not waited for: ShellExecuteA only says it started.
    EXPECT_GT(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, nullptr, "C:\\Tools\\probe.exe", "--exit 0",
                                                        nullptr, SW_SHOWNORMAL)),
              32u);
}

TEST_F(ShellExecute, OpensADocumentThroughItsClassTheUsersFirst)
{
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + ".rec", "Rec.Machine");
    RecordingClass(HKEY_LOCAL_MACHINE, kMachineClasses, "Rec.Machine", "machine");
    SetDefault(HKEY_CURRENT_USER, kUserClasses + ".REC", "Rec.User");
    RecordingClass(HKEY_CURRENT_USER, kUserClasses, "Rec.User", "user");

    DWORD code = 1;
    EXPECT_GT(ExecuteToEnd("open", Document("scan 1.rec"), nullptr, &code), 32);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Recorded(), "user\n" + Document("scan 1.rec") + "\n");

    // Without the user's extension key, the machine's class.
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, (kUserClasses + ".rec").c_str()), ERROR_SUCCESS);
    EXPECT_GT(ExecuteToEnd(nullptr, Document("scan 1.rec")), 32) << "no verb: open";
    EXPECT_EQ(Recorded(), "machine\n" + Document("scan 1.rec") + "\n");

    // The class's default verb, and a command that names its program
    // through a variable.
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + "Rec.Machine\\shell", "print");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + "Rec.Machine\\shell\\print\\command",
               "%SystemDrive%\\Tools\\recorder.exe " + log_ + " printed %1 %*", REG_EXPAND_SZ);
    EXPECT_GT(ExecuteToEnd(nullptr, Document("scan 1.rec"), nullptr), 32);
    EXPECT_EQ(Recorded(), "printed\n" + Document("scan") + "\n1.rec\n") << "%1 unquoted splits at the blank";
    EXPECT_GT(ExecuteToEnd("open", Document("scan 1.rec")), 32) << "a verb asked for wins";
    EXPECT_EQ(Recorded(), "machine\n" + Document("scan 1.rec") + "\n");
}

TEST_F(ShellExecute, FailuresGiveWindowsResults)
{
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + ".rec", "Rec.Machine");
    RecordingClass(HKEY_LOCAL_MACHINE, kMachineClasses, "Rec.Machine", "machine");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + ".lost", "Lost.Class");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + ".nocmd", "NoCommand");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + "NoCommand\\shell\\open", "");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + ".gone", "Gone.Program");
    SetDefault(HKEY_LOCAL_MACHINE, kMachineClasses + "Gone.Program\\shell\\open\\command",
               "C:\\Tools\\gone.exe \"%1\"");
    for (const char *name : {"a.zzz", "a.lost", "a.nocmd", "a.gone", "a.rec"})
        ASSERT_TRUE(testsupport::WriteText(documents_ + "/" + name, "x"));
    ASSERT_TRUE(WriteProgram("C:\\Tools\\text.exe", "not a program\n"));

    struct Case {
        const char *verb;
        std::string file;
        int result;
        DWORD error;
    } cases[] = {
        {"open", Document("none.rec"), SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {"open", "C:\\No Folder\\a.rec", SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
        {"open", Document("a.zzz"), SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},   // no class
        {"open", Document("a.lost"), SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},  // class missing
        {"open", Document("a.nocmd"), SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION}, // no command
        {"edit", Document("a.rec"), SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},   // no such verb
        {"open", Document("a.gone"), SE_ERR_FNF, ERROR_FILE_NOT_FOUND},      // its program is missing
        {"open", "C:\\Tools\\none.exe", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {"open", "nothere.exe", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {"open", "C:\\Tools\\text.exe", SE_ERR_BAD_FORMAT, ERROR_BAD_EXE_FORMAT},
        {"explore", "C:\\Tools\\text.exe", SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        {"open", "", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
    };
    for (const Case &c : cases) {
        SetLastError(0);
        const HINSTANCE result = ShellExecuteA(nullptr, c.verb, c.file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(result), static_cast<uintptr_t>(c.result)) << c.verb << " " << c.file;
        EXPECT_EQ(GetLastError(), c.error) << c.verb << " " << c.file;
    }
    EXPECT_EQ(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", Document("a.rec").c_str(), nullptr,
                                                        "C:\\No Folder", SW_SHOWNORMAL)),
              static_cast<uintptr_t>(SE_ERR_PNF))
        << "a working folder that does not exist";
    EXPECT_EQ(Recorded(), "") << "nothing ran";
}

TEST_F(ShellExecute, PicturesOpenInTheMachinesViewerUnlessTheUserChoseAnother)
{
    // A fresh root's own class: its viewer runs and, without a desktop,
    // does nothing.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "TIFImage.Document\\shell\\open\\command", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char command[MAX_PATH] = {};
    DWORD size = sizeof command;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(command), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::string(command), std::string("\"") + machine::kImageViewerProgram + "\" \"%1\"");
    DWORD code = 1;
    EXPECT_GT(ExecuteToEnd("open", Document("page.tif"), nullptr, &code), 32);
    EXPECT_EQ(code, 0u);

    // A test registers a recorder for the user instead.
    SetDefault(HKEY_CURRENT_USER, kUserClasses + ".tif", "Recorded.Picture");
    RecordingClass(HKEY_CURRENT_USER, kUserClasses, "Recorded.Picture", "picture");
    EXPECT_GT(ExecuteToEnd("open", Document("page.tif")), 32);
    EXPECT_EQ(Recorded(), "picture\n" + Document("page.tif") + "\n");
}

} // namespace
