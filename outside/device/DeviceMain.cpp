// arv_device: a stand-in for the fax machine on the far end of a
// pseudo-terminal, plugged into the machine root as the USB bridge presents
// the real device. See README.md for options, control commands and the log.
#include "BridgePlug.h"
#include "ControlCommands.h"
#include "ControlServer.h"
#include "DeviceConfig.h"
#include "DeviceLoop.h"
#include "DeviceModel.h"
#include "EventLog.h"
#include "PageAssembler.h"
#include "PtyPort.h"
#include "SerialLine.h"

#include "machine/MachineRoot.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    int saved = errno;
    const char byte = 1;
    ssize_t written = write(signalPipe[1], &byte, 1);
    (void)written;
    errno = saved;
}

bool InstallSignals()
{
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        if (sigaction(number, &action, nullptr) != 0)
            return false;
    signal(SIGPIPE, SIG_IGN);
    return true;
}

bool MakeFolders(const std::string &path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string partial = path.substr(0, slash);
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

std::string Absolute(const std::string &path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

int Fail(const std::string &message, int code)
{
    fprintf(stderr, "arv_device: %s\n", message.c_str());
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    device::DeviceConfig config;
    std::string error;
    if (!device::ParseDeviceConfig(argc, argv, &config, &error)) {
        fprintf(stderr, "arv_device: %s\n%s", error.c_str(), device::DeviceUsage());
        return 2;
    }
    if (config.help) {
        fputs(device::DeviceUsage(), stdout);
        return 0;
    }
    if (!config.root.empty())
        setenv(machine::kRootVariable, config.root.c_str(), 1);
    if (!InstallSignals())
        return Fail("cannot install signal handlers", 1);

    device::EventLog log;
    if (!config.logPath.empty() && !log.Open(config.logPath))
        return Fail("cannot open log " + config.logPath + ": " + strerror(errno), 2);
    if (!MakeFolders(config.outDir))
        return Fail("cannot make output folder " + config.outDir, 2);

    device::PtyPort pty;
    if (!pty.Open(&error))
        return Fail(error, 1);
    device::SerialLine line(pty.Master());
    line.Pacer().SetPaced(config.paced);
    device::PageAssembler pages(Absolute(config.outDir));
    device::BridgePlug bridge(config.serial, config.instance, config.port, config.vendorId, config.productId);
    device::DeviceModel model(log, pages, bridge, line, pty.SlavePath());

    if (!config.scanPages.empty() && !model.LoadDocument(config.scanPages, &error))
        return Fail(error, 2);
    if (!config.state.empty() && !model.SetState(config.state, &error))
        return Fail(error, 2);
    model.SetKeepDocument(config.keepDocument);
    model.SetStandard(config.standard);

    device::ControlServer control;
    if (!config.controlPath.empty() && !control.Listen(config.controlPath, &error))
        return Fail(error, 2);
    device::ControlCommands commands(model, line, log, pty.SlavePath());

    log.Line("start port=%s serial=%s instance=%s tty=%s state=%s paced=%s root=%s", config.port.c_str(),
             config.serial.c_str(), config.instance.c_str(), pty.SlavePath().c_str(), model.StateName().c_str(),
             config.paced ? "yes" : "no", machine::RootPath().c_str());
    if (!model.Plug())
        return Fail("cannot plug into the machine root " + machine::RootPath(), 3);

    // The readiness line: the device is plugged in and serving.
    printf("ready %s %s\n", config.port.c_str(), pty.SlavePath().c_str());
    fflush(stdout);

    device::DeviceLoop loop(line, model, control, commands, log, signalPipe[0]);
    bool clean = loop.Run();
    model.Unplug();
    log.Line("exit");
    return clean ? 0 : 1;
}
