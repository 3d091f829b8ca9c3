// Process handles and the process status calls against real processes.

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ProcessCheck.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "psapi.h"
#include "windows.h"

namespace {

const DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ; // 0x410

using testsupport::TempFolder;

// A child running a copy of /bin/sleep under a chosen file name; ended by
// its pid when the object goes.
class SleepingChild : public testsupport::RunningProgram {
public:
    SleepingChild(const TempFolder &folder, const std::string &name) : RunningProgram(folder.File(name)) {}
};

std::string BaseNameOf(DWORD pid, DWORD size, DWORD *copied)
{
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, pid);
    if (!process)
        return "<no handle>";
    std::vector<char> buffer(size + 8, '#');
    *copied = GetModuleBaseNameA(process, nullptr, buffer.data(), size);
    CloseHandle(process);
    if (buffer[size] != '#')
        return "<wrote past the buffer>";
    return std::string(buffer.data(), *copied);
}

bool Lists(DWORD pid)
{
    std::vector<DWORD> ids(65536);
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * 4), &bytes))
        return false;
    for (DWORD i = 0; i < bytes / 4; ++i)
        if (ids[i] == pid)
            return true;
    return false;
}

TEST(EnumProcesses, ListsOwnProcessAndChildren)
{
    TempFolder folder;
    SleepingChild child(folder, "child.exe");
    ASSERT_GT(child.Pid(), 0);
    EXPECT_TRUE(Lists(GetCurrentProcessId()));
    EXPECT_TRUE(Lists(static_cast<DWORD>(child.Pid())));
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

TEST(EnumProcesses, ListsOnlyTheProcessesOfThisMachineRoot)
{
    testsupport::TempMachineRoot ours("arv-ours");
    TempFolder folder;
    SleepingChild here(folder, "here.exe");
    // The same root named through a link still is this machine.
    const std::string alias = folder.File("alias");
    ASSERT_EQ(symlink(ours.Path().c_str(), alias.c_str()), 0);
    std::unique_ptr<SleepingChild> aliased, elsewhere;
    {
        testsupport::ScopedEnvironment environment;
        environment.Set("ARV_MACHINE_ROOT", alias);
        aliased.reset(new SleepingChild(folder, "aliased.exe"));
    }
    testsupport::TempFolder otherRoot("arv-other");
    {
        testsupport::ScopedEnvironment environment;
        environment.Set("ARV_MACHINE_ROOT", otherRoot.Path());
        elsewhere.reset(new SleepingChild(folder, "elsewhere.exe"));
    }
    ASSERT_GT(here.Pid(), 0);
    ASSERT_GT(aliased->Pid(), 0);
    ASSERT_GT(elsewhere->Pid(), 0);
    EXPECT_TRUE(Lists(static_cast<DWORD>(here.Pid())));
    EXPECT_TRUE(Lists(static_cast<DWORD>(aliased->Pid())));
    EXPECT_FALSE(Lists(static_cast<DWORD>(elsewhere->Pid())));
}

TEST(EnumProcesses, FillsAtMostTheBufferItIsGiven)
{
    // A child makes sure there are more processes than the two slots.
    TempFolder folder;
    SleepingChild child(folder, "child.exe");
    struct Case {
        DWORD bytes;
        DWORD expected;
    } cases[] = {{0, 0}, {3, 0}, {4, 4}, {9, 8}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        DWORD ids[4] = {0xAAAAAAAA, 0xAAAAAAAA, 0xAAAAAAAA, 0xAAAAAAAA};
        DWORD returned = 12345;
        EXPECT_TRUE(EnumProcesses(ids, c.bytes, &returned));
        EXPECT_EQ(returned, c.expected);
        EXPECT_EQ(ids[c.expected / 4], 0xAAAAAAAAu) << "wrote past the room it had";
    }
    DWORD returned = 0;
    EXPECT_FALSE(EnumProcesses(nullptr, 16, &returned));
    DWORD ids[2];
    EXPECT_FALSE(EnumProcesses(ids, sizeof ids, nullptr));
}

TEST(GetModuleBaseNameA, GivesTheChildsFileNameExactly)
{
    TempFolder folder;
    SleepingChild child(folder, "ORVEL_SCANNER.EXE");
    ASSERT_GT(child.Pid(), 0);
    DWORD copied = 0;
    EXPECT_EQ(BaseNameOf(static_cast<DWORD>(child.Pid()), 50, &copied), "ORVEL_SCANNER.EXE");
    EXPECT_EQ(copied, 17u);
}

TEST(GetModuleBaseNameA, CutsTheNameToTheBufferWithATerminator)
{
    TempFolder folder;
    SleepingChild child(folder, "ORVEL_SCANNER.EXE");
    ASSERT_GT(child.Pid(), 0);
    struct Case {
        DWORD size;
        const char *name;
    } cases[] = {{1, ""}, {2, "O"}, {5, "ORVE"}, {17, "ORVEL_SCANNER.EX"}, {18, "ORVEL_SCANNER.EXE"}, {19, "ORVEL_SCANNER.EXE"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        HANDLE process = OpenProcess(kQueryAndRead, FALSE, static_cast<DWORD>(child.Pid()));
        ASSERT_NE(process, nullptr);
        char buffer[32];
        memset(buffer, '#', sizeof buffer);
        DWORD copied = GetModuleBaseNameA(process, nullptr, buffer, c.size);
        CloseHandle(process);
        EXPECT_EQ(copied, strlen(c.name));
        EXPECT_STREQ(buffer, c.name);
        EXPECT_EQ(buffer[c.size], '#');
    }
}

TEST(GetModuleBaseNameA, KeepsTheNameOfADeletedExecutable)
{
    TempFolder folder;
    SleepingChild child(folder, "orvel_printer.exe");
    ASSERT_GT(child.Pid(), 0);
    ASSERT_EQ(unlink(child.Path().c_str()), 0);
    DWORD copied = 0;
    EXPECT_EQ(BaseNameOf(static_cast<DWORD>(child.Pid()), 50, &copied), "orvel_printer.exe");
}

TEST(GetModuleBaseNameA, ReadsTheCallingProcessThroughItsPseudoHandle)
{
    char own[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", own, sizeof own - 1), 0);
    const char *slash = strrchr(own, '/');
    char buffer[256] = {};
    DWORD copied = GetModuleBaseNameA(GetCurrentProcess(), nullptr, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, slash + 1);
    EXPECT_EQ(copied, strlen(slash + 1));
}

TEST(GetModuleBaseNameA, FailsWithoutTouchingTheBuffer)
{
    TempFolder folder;
    SleepingChild child(folder, "child.exe");
    ASSERT_GT(child.Pid(), 0);
    HANDLE queryOnly = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(child.Pid()));
    ASSERT_NE(queryOnly, nullptr);
    HANDLE full = OpenProcess(kQueryAndRead, FALSE, static_cast<DWORD>(child.Pid()));
    ASSERT_NE(full, nullptr);
    HANDLE notAProcess = CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    ASSERT_NE(notAProcess, nullptr);

    struct Case {
        const char *what;
        HANDLE process;
        HMODULE module;
        DWORD error;
    } cases[] = {
        {"no handle", nullptr, nullptr, ERROR_INVALID_HANDLE},
        {"a thread's handle", notAProcess, nullptr, ERROR_INVALID_HANDLE},
        {"opened without PROCESS_VM_READ", queryOnly, nullptr, ERROR_ACCESS_DENIED},
        {"a module handle", full, reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000)), ERROR_INVALID_HANDLE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        char buffer[50];
        memset(buffer, 0, sizeof buffer);
        SetLastError(0);
        EXPECT_EQ(GetModuleBaseNameA(c.process, c.module, buffer, sizeof buffer), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error));
        EXPECT_EQ(buffer[0], 0);
    }

    // A process that has ended and been reaped: the handle reads nothing.
    child.End();
    char buffer[50];
    memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(GetModuleBaseNameA(full, nullptr, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 0);

    CloseHandle(queryOnly);
    CloseHandle(full);
    WaitForSingleObject(notAProcess, INFINITE);
    CloseHandle(notAProcess);
}

DWORD PidBeyondTheMaximum()
{
    std::ifstream in("/proc/sys/kernel/pid_max");
    long maximum = 4194304;
    in >> maximum;
    return static_cast<DWORD>(maximum + 1);
}

TEST(OpenProcess, FailsForIdsThatNameNoProcess)
{
    TempFolder folder;
    SleepingChild reaped(folder, "child.exe");
    ASSERT_GT(reaped.Pid(), 0);
    const DWORD reapedPid = static_cast<DWORD>(reaped.Pid());
    reaped.End();

    struct Case {
        const char *what;
        DWORD pid;
    } cases[] = {
        {"id 0", 0},
        {"beyond the system's largest id", PidBeyondTheMaximum()},
        {"a child that has ended", reapedPid},
        {"-1", 0xFFFFFFFFu},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(OpenProcess(kQueryAndRead, FALSE, c.pid), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
}

TEST(OpenProcess, ThreadOfAProcessIsNoProcess)
{
    std::atomic<DWORD> threadId{0};
    std::atomic<bool> release{false};
    std::thread other([&] {
        threadId = static_cast<DWORD>(syscall(SYS_gettid));
        while (!release)
            Sleep(5);
    });
    while (threadId == 0)
        Sleep(1);
    SetLastError(0);
    EXPECT_EQ(OpenProcess(kQueryAndRead, FALSE, threadId), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    release = true;
    other.join();
}

TEST(OpenProcess, IsRefusedForAProcessTheSystemHidesFromUs)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to take another user's identity";
    const DWORD parent = GetCurrentProcessId();
    EXPECT_EQ(testsupport::RunInChild([parent] {
                  // As an ordinary user, the root-owned test process is out of reach.
                  if (setgid(65534) != 0 || setuid(65534) != 0)
                      return 10;
                  HANDLE process = OpenProcess(kQueryAndRead, FALSE, parent);
                  if (process)
                      return 11;
                  return GetLastError() == ERROR_ACCESS_DENIED ? 0 : 12;
              }),
              0)
        << "10: could not change user; 11: opened; 12: another error";
}

TEST(OpenProcess, HandleIsSignalledWhenTheProcessEnds)
{
    TempFolder folder;
    SleepingChild child(folder, "child.exe");
    ASSERT_GT(child.Pid(), 0);
    HANDLE process = OpenProcess(SYNCHRONIZE | kQueryAndRead, FALSE, static_cast<DWORD>(child.Pid()));
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 50), WAIT_TIMEOUT);
    kill(child.Pid(), SIGTERM);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    child.End();
    EXPECT_TRUE(CloseHandle(process));
}

// The running-program check the system's programs share.
TEST(ProcessCheck, FindsAProgramByItsExactModuleName)
{
    // A name of this test's own, so that tests running beside it cannot
    // disturb it.
    const std::string name = "orvel_check_" + std::to_string(getpid()) + ".exe";
    std::string upper = name;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    TempFolder folder;
    SleepingChild child(folder, name);
    ASSERT_GT(child.Pid(), 0);
    EXPECT_TRUE(IsModuleRunning(name.c_str()));
    EXPECT_FALSE(IsModuleRunning(upper.c_str())) << "names are compared with case";
    EXPECT_FALSE(IsModuleRunning(name.substr(0, name.size() - 4).c_str()));
    child.End();
    EXPECT_FALSE(IsModuleRunning(name.c_str()));
}

} // namespace
