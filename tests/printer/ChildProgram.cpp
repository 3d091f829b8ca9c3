#include "ChildProgram.h"

#include <poll.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "TestClock.h"

namespace printer_test {

NamedProcess::NamedProcess(const std::string &program, const std::string &folder, const std::string &name,
                           const std::vector<std::string> &args)
{
    const std::string path = folder + "/" + name;
    if (!testsupport::CopyWithMode(program, path, 0755))
        return;
    int input[2], output[2];
    if (!testsupport::OpenPipes(input, output))
        return;
    std::vector<std::string> all{path};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = testsupport::Spawn(all, input[0], output[1]);
    close(input[0]);
    close(output[1]);
    if (pid < 0) {
        close(input[1]);
        close(output[0]);
        return;
    }
    FPid = pid;
    FInput = input[1];

    // The first line says the program stands (or why it does not).
    const int64_t deadline = testsupport::MonotonicMs() + 30000;
    char c = 0;
    for (;;) {
        pollfd readable{output[0], POLLIN, 0};
        if (poll(&readable, 1, testsupport::RemainingMs(deadline)) <= 0)
            break;
        if (read(output[0], &c, 1) != 1 || c == '\n')
            break;
        FFirstLine += c;
    }
    close(output[0]);
}

NamedProcess::~NamedProcess() { End(); }

int NamedProcess::End()
{
    if (FPid <= 0)
        return FExit;
    if (FInput >= 0) {
        close(FInput);
        FInput = -1;
    }
    FExit = testsupport::ExitCodeOf(testsupport::WaitForExit(FPid, 10000));
    FPid = -1;
    return FExit;
}

} // namespace printer_test
