// CreateProcessA and the process handles: the child gets its command line
// whole, the program is found where Windows looks, waits block with and
// without a time-out, and a program that cannot start leaves nothing.
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ProbeSupport.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "psapi.h"
#include "windows.h"

namespace {

constexpr DWORD kGenerous = 30000; // ms; a wait that must not end by time-out

const char *const kProbe = "C:\\Program Files\\Orvel Probe\\probe.exe";

// The processes this process has started and not yet reaped.
std::set<pid_t> OwnChildren()
{
    std::set<pid_t> children;
    DIR *tasks = opendir("/proc/self/task");
    while (dirent *task = tasks ? readdir(tasks) : nullptr) {
        if (task->d_name[0] == '.')
            continue;
        const std::string text =
            testsupport::ReadText(std::string("/proc/self/task/") + task->d_name + "/children");
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find(' ', at);
            if (end == std::string::npos)
                end = text.size();
            if (end > at)
                children.insert(static_cast<pid_t>(std::stol(text.substr(at, end - at))));
            at = end + 1;
        }
    }
    if (tasks)
        closedir(tasks);
    return children;
}

// Whether our child `pid` has been reaped (it is no zombie of ours).
bool Reaped(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno == ECHILD;
}

bool WriteProgram(const std::string &windowsPath, const std::string &text, unsigned mode)
{
    const std::string unixPath = machine::UnixPath(windowsPath.c_str());
    for (size_t slash = unixPath.find('/', 1); slash != std::string::npos; slash = unixPath.find('/', slash + 1))
        mkdir(unixPath.substr(0, slash).c_str(), 0755);
    return testsupport::WriteText(unixPath, text) && chmod(unixPath.c_str(), mode) == 0;
}

class ProcessCreation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        reports_ = root_.Scratch("reports");
        ASSERT_TRUE(probe::Place(kProbe));
        char folder[PATH_MAX];
        ASSERT_NE(getcwd(folder, sizeof folder), nullptr);
        folder_ = folder;
    }

    void TearDown() override { ASSERT_EQ(chdir(folder_.c_str()), 0); }

    // Starts `line`; the error when it does not start.
    DWORD Start(const std::string &line, PROCESS_INFORMATION *info, const char *folder = nullptr,
                void *environment = nullptr)
    {
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        memset(info, 0, sizeof *info);
        std::vector<char> text(line.begin(), line.end());
        text.push_back('\0');
        SetLastError(0);
        if (CreateProcessA(nullptr, text.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, environment, folder,
                           &startup, info))
            return 0;
        return GetLastError();
    }

    // Runs `line` to its end and closes its handles; its exit code.
    DWORD Run(const std::string &line, const char *folder = nullptr, void *environment = nullptr)
    {
        PROCESS_INFORMATION info;
        const DWORD error = Start(line, &info, folder, environment);
        EXPECT_EQ(error, 0u) << line;
        if (error)
            return 0xDEAD;
        EXPECT_EQ(WaitForSingleObject(info.hProcess, kGenerous), WAIT_OBJECT_0) << line;
        DWORD code = 0xDEAD;
        EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
        EXPECT_TRUE(CloseHandle(info.hProcess));
        EXPECT_TRUE(CloseHandle(info.hThread));
        return code;
    }

    probe::ReportFile Report(const std::string &name) { return probe::ReportIn(reports_, name); }

    testsupport::TempMachineRoot root_{"arv-processes", testsupport::Layout::Now};
    testsupport::ScopedEnvironment environment_;
    std::string reports_;
    std::string folder_;
};

TEST_F(ProcessCreation, TheChildGetsItsCommandLineWhole)
{
    const probe::ReportFile report = Report("whole.txt");
    const std::string tails[] = {
        "--report \"" + report.windowsPath + "\" --exit 3",
        "--report \"" + report.windowsPath + "\"   \"two words\" a\\\"b C:\\dir\\ \"\" --exit 3  ",
        "--report " + report.windowsPath + " \"C:\\My Scans\\\\\" x\"y z\" --exit 3",
    };
    for (const std::string &tail : tails) {
        unlink(report.unixPath.c_str());
        const std::string line = std::string("\"") + kProbe + "\" " + tail;
        EXPECT_EQ(Run(line), 3u) << line;
        EXPECT_EQ(probe::Value(report.unixPath, "line"), line);
        EXPECT_EQ(probe::Value(report.unixPath, "tail"), tail);
        std::vector<std::string> expected = machine::SplitCommandLine(line);
        expected[0] = machine::UnixPath(kProbe);
        EXPECT_EQ(probe::Values(report.unixPath, "argv"), expected) << "argv as the C runtime splits";
        EXPECT_EQ(probe::Value(report.unixPath, "module"), kProbe);
    }
}

TEST_F(ProcessCreation, FindsTheProgramWhereWindowsLooks)
{
    const std::string unixFolder = root_.Scratch("unix-path");
    const std::string current = root_.Scratch("current");
    ASSERT_TRUE(probe::Place("C:\\Windows\\System32\\both.exe"));
    ASSERT_TRUE(probe::Place("C:\\Windows\\both.exe"));
    ASSERT_TRUE(probe::Place("C:\\Windows\\winonly.exe"));
    ASSERT_TRUE(probe::Place(machine::WindowsPath(current) + "\\both.exe"));
    ASSERT_TRUE(probe::Place(machine::WindowsPath(current) + "\\current.exe"));
    ASSERT_TRUE(probe::Place(machine::WindowsPath(unixFolder) + "\\onpath.exe"));
    ASSERT_TRUE(probe::Place("C:\\Tools\\Other\\winpath.exe"));
    ASSERT_TRUE(probe::Place("C:\\Program.exe"));
    ASSERT_TRUE(probe::Place("C:\\Space Trap\\tool.exe"));
    std::string longFolder = "C:\\Space Trap\\";
    for (int w = 0; w < 40; ++w)
        longFolder += "w" + std::to_string(w) + " ";
    longFolder += "end";
    ASSERT_TRUE(probe::Place(longFolder + "\\tool.exe"));
    const probe::ReportFile report = Report("found.txt");
    const std::string reportArgument = " --report \"" + report.windowsPath + "\"";

    struct Case {
        std::string line;
        std::string module;
        std::string path; // PATH while it runs; "" keeps ours
        bool inCurrent;   // run with `current` as the current folder
    } cases[] = {
        {"\"C:\\Program Files\\Orvel Probe\\probe\"", kProbe, "", false}, // ".exe" added
        {"both", "C:\\Windows\\System32\\both.exe", "", false},          // system before Windows folder
        {"BOTH.EXE", "C:\\Windows\\System32\\both.exe", "", false},      // any case
        {"winonly", "C:\\Windows\\winonly.exe", "", false},
        {"both", machine::WindowsPath(current) + "\\both.exe", "", true}, // current folder first
        {"current", machine::WindowsPath(current) + "\\current.exe", "", true},
        {"onpath", machine::WindowsPath(unixFolder) + "\\onpath.exe", unixFolder + ":/usr/bin:/bin", false},
        {"winpath", "C:\\Tools\\Other\\winpath.exe", "C:\\Tools;C:\\Tools\\Other", false},
        // Unquoted with blanks: each word tried, shortest first, as Windows does.
        {"C:\\Space Trap\\tool.exe -x", "C:\\Space Trap\\tool.exe", "", false},
        {"C:\\Program Files\\Orvel Probe\\probe.exe", "C:\\Program.exe", "", false},
        {longFolder + "\\tool -x", longFolder + "\\tool.exe", "", false}, // a folder of many words
    };
    for (const Case &c : cases) {
        unlink(report.unixPath.c_str());
        testsupport::ScopedEnvironment path;
        if (!c.path.empty())
            path.Set("PATH", c.path);
        ASSERT_EQ(chdir(c.inCurrent ? current.c_str() : folder_.c_str()), 0);
        EXPECT_EQ(Run(c.line + reportArgument), 0u) << c.line;
        EXPECT_EQ(probe::Value(report.unixPath, "module"), c.module) << c.line;
    }
}

TEST_F(ProcessCreation, AProgramThatCannotStartFailsAndLeavesNothing)
{
    ASSERT_TRUE(WriteProgram("C:\\Tools\\text.exe", "just text\n", 0755));
    ASSERT_TRUE(WriteProgram("C:\\Tools\\noexec.exe", "#!/bin/sh\nexit 0\n", 0644));
    ASSERT_TRUE(WriteProgram("C:\\Tools\\lost.exe", "#!/nonexistent/interpreter\n", 0755));
    ASSERT_EQ(mkdir(machine::UnixPath("C:\\Tools\\folder.exe").c_str(), 0755), 0);
    const std::set<pid_t> before = OwnChildren();

    // A long unquoted line is tried word by word as far as a path can reach.
    std::string words;
    for (int w = 0; w < 16000; ++w)
        words += " word" + std::to_string(w);
    struct Case {
        std::string line;
        DWORD error;
    } cases[] = {
        {"nothere" + words, ERROR_FILE_NOT_FOUND},
        {"C:\\Nowhere\\x.exe" + words, ERROR_PATH_NOT_FOUND},
        {"C:\\Nowhere\\x.exe", ERROR_PATH_NOT_FOUND},
        {"C:\\Windows\\nothere.exe -a", ERROR_FILE_NOT_FOUND},
        {"nothere", ERROR_FILE_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
        {"C:\\Tools\\folder.exe", ERROR_ACCESS_DENIED},
        {"C:\\Tools\\noexec.exe", ERROR_ACCESS_DENIED},
        {"C:\\Tools\\text.exe", ERROR_BAD_EXE_FORMAT},
        {"C:\\Tools\\lost.exe", ERROR_FILE_NOT_FOUND}, // its interpreter is missing
    };
    for (const Case &c : cases) {
        PROCESS_INFORMATION info;
        const std::string shown = c.line.substr(0, 40);
        EXPECT_EQ(Start(c.line, &info), c.error) << shown;
        EXPECT_EQ(info.hProcess, nullptr) << shown;
        EXPECT_EQ(info.hThread, nullptr) << shown;
        EXPECT_EQ(OwnChildren(), before) << shown << ": no child left, not even a zombie";
    }
    PROCESS_INFORMATION info;
    EXPECT_EQ(Start(std::string("\"") + kProbe + "\"", &info, "C:\\No Such Folder"), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_EQ(OwnChildren(), before);
}

TEST_F(ProcessCreation, WaitsWithATimeOutAndEndsAProgramOnRequest)
{
    PROCESS_INFORMATION info;
    ASSERT_EQ(Start(std::string("\"") + kProbe + "\" --sleep 600000", &info), 0u);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

    EXPECT_TRUE(TerminateProcess(info.hProcess, 9));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_OBJECT_0) << "the thread ends with its process";
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 9u);
    EXPECT_TRUE(Reaped(static_cast<pid_t>(info.dwProcessId)));
    SetLastError(0);
    EXPECT_FALSE(TerminateProcess(info.hProcess, 1)) << "it has ended";
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_FALSE(CloseHandle(info.hProcess));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_FAILED);
}

TEST_F(ProcessCreation, ExitCodesAsTheProgramEnded)
{
    ASSERT_TRUE(WriteProgram("C:\\Tools\\killed.exe", "#!/bin/sh\nkill -TERM $$\n", 0755));
    EXPECT_EQ(Run(std::string("\"") + kProbe + "\" --exit 42"), 42u);
    EXPECT_EQ(Run("C:\\Tools\\killed.exe"), 128u + SIGTERM) << "a signal gives 128 plus its number";

    // A handle from OpenProcess on a child of ours knows its exit code too.
    PROCESS_INFORMATION info;
    ASSERT_EQ(Start(std::string("\"") + kProbe + "\" --sleep 200 --exit 5", &info), 0u);
    HANDLE opened = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, info.dwProcessId);
    ASSERT_NE(opened, nullptr);
    char name[50] = {};
    EXPECT_GT(GetModuleBaseNameA(opened, nullptr, name, sizeof name), 0u);
    EXPECT_STREQ(name, "probe.exe");
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_EQ(WaitForSingleObject(opened, kGenerous), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(opened, &code));
    EXPECT_EQ(code, 5u);
    EXPECT_TRUE(CloseHandle(opened));
}

TEST_F(ProcessCreation, AChildNobodyWaitsForIsReapedAllTheSame)
{
    PROCESS_INFORMATION info;
    ASSERT_EQ(Start(std::string("\"") + kProbe + "\" --sleep 100", &info), 0u);
    const pid_t pid = static_cast<pid_t>(info.dwProcessId);
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(pidfd, 0);
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_TRUE(CloseHandle(info.hThread));
    // Its end, then its reaping by the layer, within generous bounds.
    pollfd ended{pidfd, POLLIN, 0};
    ASSERT_EQ(poll(&ended, 1, static_cast<int>(kGenerous)), 1);
    close(pidfd);
    for (int step = 0; step < 3000 && !Reaped(pid); ++step)
        Sleep(10);
    EXPECT_TRUE(Reaped(pid));
}

TEST_F(ProcessCreation, RunsInTheFolderAndEnvironmentGiven)
{
    const probe::ReportFile report = Report("where.txt");
    const std::string base = std::string("\"") + kProbe + "\" --report \"" + report.windowsPath + "\" --env ";

    environment_.Set("PROBE_VAR", "inherited");
    EXPECT_EQ(Run(base + "PROBE_VAR", "C:\\Windows"), 0u);
    EXPECT_EQ(probe::Value(report.unixPath, "cwd"), "C:\\Windows");
    EXPECT_EQ(probe::Value(report.unixPath, "env"), "inherited");

    char block[] = "PROBE_VAR=given\0OTHER=1\0";
    EXPECT_EQ(Run(base + "probe_var", nullptr, block), 0u);
    EXPECT_EQ(probe::Value(report.unixPath, "env"), "given");

    EXPECT_EQ(Run(base + "PROGRAMFILES"), 0u);
    EXPECT_EQ(probe::Value(report.unixPath, "env"), "C:\\Program Files");
}

TEST_F(ProcessCreation, AProgramStartedFromAUnixPathKnowsItsWindowsPath)
{
    const probe::ReportFile report = Report("unix.txt");
    const testsupport::RunResult result =
        testsupport::RunProgram({machine::UnixPath(kProbe), "--report", report.windowsPath, "two words"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(probe::Value(report.unixPath, "module"), kProbe);
    EXPECT_EQ(probe::Value(report.unixPath, "line"),
              std::string("\"") + kProbe + "\" --report " + machine::QuoteArgument(report.windowsPath) +
                  " \"two words\"");

    // The build's own copy lies outside the drives: Z: names it.
    const testsupport::RunResult built =
        testsupport::RunProgram({probe::BuiltProbe(), "--report", report.windowsPath});
    EXPECT_EQ(built.code, 0);
    char real[PATH_MAX];
    ASSERT_NE(realpath(probe::BuiltProbe().c_str(), real), nullptr);
    EXPECT_EQ(probe::Value(report.unixPath, "module"), machine::WindowsPath(real));
    EXPECT_EQ(probe::Value(report.unixPath, "module").substr(0, 3), "Z:\\");
}

} // namespace
