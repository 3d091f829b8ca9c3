// A Windows program for the process tests. Its arguments (argv as it
// received them):
//   --report FILE   writes what it was started with to FILE (a Windows path)
//   --env NAME      adds the variable's value to the report
//   --sleep MS      sleeps before it ends
//   --exit N        ends with exit code N (else 0)
// The report has one line per fact: "line <GetCommandLineA>", "tail
// <lpCmdLine>", "argv <each argument>", "module <GetModuleFileNameA>", "cwd
// <current folder>", "env <value>".
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "wincrt.h"
#include "windows.h"

namespace {

std::vector<std::string> OwnArguments()
{
    std::vector<std::string> argv;
    const int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    std::string text;
    char buffer[4096];
    ssize_t got;
    while (fd >= 0 && (got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    if (fd >= 0)
        close(fd);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\0', start);
        argv.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return argv;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    const std::vector<std::string> argv = OwnArguments();
    std::string report, variable;
    DWORD sleep = 0;
    int code = 0;
    for (size_t i = 1; i + 1 < argv.size(); ++i) {
        if (argv[i] == "--report")
            report = argv[++i];
        else if (argv[i] == "--env")
            variable = argv[++i];
        else if (argv[i] == "--sleep")
            sleep = static_cast<DWORD>(atol(argv[++i].c_str()));
        else if (argv[i] == "--exit")
            code = atoi(argv[++i].c_str());
    }
    if (!report.empty()) {
        std::string text = std::string("line ") + GetCommandLineA() + "\ntail " + lpCmdLine + "\n";
        for (const std::string &argument : argv)
            text += "argv " + argument + "\n";
        char buffer[MAX_PATH * 4];
        if (GetModuleFileNameA(nullptr, buffer, sizeof buffer))
            text += std::string("module ") + buffer + "\n";
        if (GetCurrentDirectoryA(sizeof buffer, buffer))
            text += std::string("cwd ") + buffer + "\n";
        if (!variable.empty()) {
            buffer[0] = '\0';
            GetEnvironmentVariableA(variable.c_str(), buffer, sizeof buffer);
            text += std::string("env ") + buffer + "\n";
        }
        // Written aside and renamed, so the test never reads half a report.
        FILE *file = nullptr;
        const std::string aside = report + ".part";
        if (fopen_s(&file, aside.c_str(), "wb") == 0) {
            fwrite(text.data(), 1, text.size(), file);
            fclose(file);
            DeleteFileA(report.c_str());
            MoveFileA(aside.c_str(), report.c_str());
        }
    }
    if (sleep)
        Sleep(sleep);
    return code;
}
