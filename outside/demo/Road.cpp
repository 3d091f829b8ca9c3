// arv_road [ROOT]
// The whole road on a fresh machine root, without a display: the install
// media that the build assembles goes into drive D: as a CD-ROM; the
// installer's wizard, started as from D:\setup.exe, is worked through its
// own clicks as a user would (Qt's offscreen platform) and waits for the
// device stand-in; a sample job prints through the installed printer and
// its pages are compared with their source; a sample document is scanned
// where the scanner's demo is built; the wizard started from the install
// folder's setup.exe uninstalls, and the machine restarts. Each stage is
// reported on standard output; what the outside programs print (NET, the
// printer set-up, the print chain, Qt's platform notes) goes into the
// machine root's logs/outside.log. The exit code is 0 when all succeeded.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "Application.h"
#include "Choose_folder.h"
#include "DeviceHarness.h"
#include "DialogPilot.h"
#include "FormPilot.h"
#include "JobWriter.h"
#include "Main2.h"
#include "Message.h"
#include "PbmImage.h"
#include "SamplePages.h"
#include "machine/Drives.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Restart.h"
#include "machine/Testing.h"
#include "winreg.h"

namespace {

constexpr const char *kPrinterName = "ARV-A700 Scanner-Printer";
constexpr const char *kMediaSetup = "D:\\setup.exe";
constexpr int kBoundMs = 120000;

int gFailures = 0;
// The road's own lines; once the outside log is in place, a copy of the
// standard output that the road was given.
FILE *gOut = stdout;

void Say(const char *format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vfprintf(gOut, format, arguments);
    va_end(arguments);
    fflush(gOut);
}

void Report(bool ok, const std::string &what)
{
    Say("  %s %s\n", ok ? "ok    " : "FAILED", what.c_str());
    if (!ok)
        ++gFailures;
}

void Stage(const char *name) { Say("%s\n", name); }

// Points the process's standard output and errors, which every program it
// starts inherits, at `logPath` (appended), and keeps the road's own lines
// on the output it was given. False, with nothing changed, when the log
// cannot be opened.
bool LogOutsideOutput(const std::string &logPath)
{
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        return false;
    const int own = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    FILE *out = own >= 0 ? fdopen(own, "w") : nullptr;
    if (!out) {
        if (own >= 0)
            close(own);
        close(log);
        return false;
    }
    fflush(stdout);
    fflush(stderr);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    close(log);
    gOut = out;
    return true;
}

// A private runtime folder for the toolkit (it warns without one).
void MakeRuntimeFolder(const std::string &root)
{
    const std::string runtime = root + "/runtime";
    mkdir(runtime.c_str(), 0700);
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

bool Exists(const std::string &windowsPath)
{
    struct stat info;
    return stat(machine::UnixPath(windowsPath.c_str()).c_str(), &info) == 0;
}

// Lets the wizard work until `done` holds, at most kBoundMs.
bool WaitUntil(const std::function<bool()> &done)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    QElapsedTimer bound;
    bound.start();
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done() || bound.elapsed() > kBoundMs)
            loop.quit();
    });
    look.start(20);
    loop.exec();
    return done();
}

// The installer's message window answered with OK, its texts reported.
class MessageAnswerer {
public:
    MessageAnswerer()
    {
        QObject::connect(&FTimer, &QTimer::timeout, [] {
            if (!Message_Form || !Message_Form->Visible())
                return;
            Say("  message: %s / %s\n", Message_Form->LTitle->Caption().c_str(),
                   Message_Form->LMessage->Caption().c_str());
            Message_Form->BitBtn1->Click();
        });
        FTimer.start(50);
    }

private:
    QTimer FTimer;
};

// The wizard as the installer's WinMain makes it, started from `module`.
void StartWizard(const std::string &module)
{
    machine::testing::SetModuleFileName(module);
    Application.Reset();
    Application->Initialize();
    Application->SetTitle("Setup");
    Application->CreateForm(&Form2);
    Application->CreateForm(&Message_Form);
    Application->CreateForm(&ChooseFolder_Form);
    Form2->Show();
}

// Clicks the label and reports the page that follows.
bool ClickTo(classlib_testing::TFormPilot &user, TLabel *label, int page, const char *what)
{
    user.Click(label);
    const bool reached = WaitUntil([page] { return Form2->FPage == page; });
    Report(reached, std::string(what) + " -> page " + std::to_string(Form2->FPage));
    return reached;
}

std::string RegString(HKEY root, const char *key, const char *value)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "";
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    const bool read = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<LPBYTE>(data), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ && size > 0;
    RegCloseKey(opened);
    return read ? std::string(data, size - 1) : std::string();
}

// Runs the program and waits for it. Its output goes with the outside
// programs' into the log unless `showOutput`: then it is shown with the
// road's lines (its errors still go to the log).
int RunChild(const std::vector<std::string> &args, bool showOutput = false)
{
    pid_t child = fork();
    if (child == 0) {
        if (showOutput)
            dup2(fileno(gOut), STDOUT_FILENO);
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Install(std::string *installDir)
{
    Stage("1. Install from the media through the wizard");
    StartWizard(kMediaSetup);
    classlib_testing::TFormPilot user;
    classlib_testing::TDialogPilot dialogs;
    MessageAnswerer messages;
    dialogs.Answer("&Yes"); // make the install folder
    if (!ClickTo(user, Form2->LChap1, 1, "Install Drivers"))
        return false;
    *installDir = Form2->EPath->Text().str();
    Say("  install folder: %s\n", installDir->c_str());
    if (!ClickTo(user, Form2->LContinue, 3, "Continue") || !ClickTo(user, Form2->LContinue, 8, "Continue, the run"))
        return false;
    Report(!RegString(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ARV-A700 Scanner-Printer",
                      "InstallLocation")
                .empty(),
           "uninstall entry written");
    return ClickTo(user, Form2->LContinue, 9, "Continue, waiting for the device");
}

bool DetectDevice(standin::DeviceProcess &device)
{
    Stage("2. Plug in the device");
    Report(device.Started(), "device stand-in on " + device.PortName());
    if (!device.Started())
        return false;
    const bool found = WaitUntil([] { return Form2->FPage == 10; });
    Report(found, "the wizard found " + Form2->FComPort.str());
    classlib_testing::TFormPilot user;
    user.Click(Form2->LExit2);
    Report(Application->Terminated(), "Exit closes the wizard");
    return found;
}

bool Print(standin::DeviceProcess &device)
{
    Stage("3. Print the sample through the installed printer");
    const std::string documents = machine::UnixPath(machine::kDocumentsDir);
    std::vector<jobwriter::PageImage> pages = {jobwriter::MakeTextPage(1), jobwriter::MakeDrawingPage(2)};
    jobwriter::JobOptions options;
    options.ExactBlankLines = true;
    const std::vector<unsigned char> job = jobwriter::WriteJob(pages, options);
    const std::string jobPath = documents + "/sample-job.prn";
    FILE *file = fopen(jobPath.c_str(), "wb");
    const bool written = file && fwrite(job.data(), 1, job.size(), file) == job.size();
    if (file)
        fclose(file);
    Report(written, "sample job " + jobPath);
    const int code = RunChild({ARV_PRINT_PATH, kPrinterName, jobPath});
    Report(code == 0, "print to \"" + std::string(kPrinterName) + "\" (exit code " + std::to_string(code) + ")");
    const std::vector<std::string> printed = device.PagePaths();
    const std::string kept = machine::RootPath() + "/printed";
    mkdir(kept.c_str(), 0755);
    bool same = printed.size() == pages.size();
    for (size_t i = 0; i < printed.size() && i < pages.size(); ++i) {
        standin::Bitmap bitmap;
        const std::string keptPage = kept + "/page-" + std::to_string(i + 1) + ".pbm";
        const bool match = standin::ReadPbm(printed[i], &bitmap) && standin::WritePbm(keptPage, bitmap) &&
                           bitmap.width == jobwriter::kPageDots &&
                           pbm::FirstDifferentRow(jobwriter::kPageDots, pages[i].Bits.data(), pages[i].Height,
                                                  bitmap.rows.data(), bitmap.height) < 0;
        Say("  page %zu: %s %s\n", i + 1, keptPage.c_str(), match ? "matches its source" : "DIFFERS");
        same = same && match;
    }
    Report(same, std::to_string(printed.size()) + " of " + std::to_string(pages.size()) + " pages printed");
    return code == 0 && same;
}

void Scan(const std::string &root)
{
    Stage("4. Scan the sample document");
    const std::string demo = ARV_SCAN_DEMO_PATH;
    if (demo.empty()) {
        Say("  skipped: the scanner program is not built\n");
        return;
    }
    Report(RunChild({demo, root}, true) == 0, "scan through the scanner program");
}

bool Uninstall(const std::string &installDir)
{
    Stage("5. Uninstall through the wizard started from the install folder");
    const std::string self = installDir + "\\setup.exe";
    Report(Exists(self), self);
    StartWizard(self);
    classlib_testing::TFormPilot user;
    classlib_testing::TDialogPilot dialogs;
    MessageAnswerer messages;
    if (!ClickTo(user, Form2->LChap2, 16, "Uninstall Drivers, the run") ||
        !ClickTo(user, Form2->LContinue, 17, "Continue"))
        return false;
    user.Click(Form2->LExit2);
    Report(Application->Terminated(), "Exit closes the wizard");
    Report(!Exists(installDir + "\\orvel_printer.exe"), "programs removed");
    Report(Exists(self), "the uninstaller stays until the restart");
    return true;
}

void Restart(const std::string &installDir)
{
    Stage("6. Restart the machine");
    for (const machine::StartOperation &operation : machine::Restart())
        Say("  %s %s\n", operation.done ? "done:       " : "passed over:", operation.from.c_str());
    Report(!Exists(installDir + "\\setup.exe"), "the uninstaller is gone");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        setenv(machine::kRootVariable, argv[1], 1);
    const std::string root = machine::RootPath();
    MakeRuntimeFolder(root);
    const std::string logs = root + "/logs";
    mkdir(logs.c_str(), 0755);
    const bool logged = LogOutsideOutput(logs + "/outside.log");
    Say("machine root: %s\n", root.c_str());
    if (logged)
        Say("what outside programs print: %s/outside.log\n", logs.c_str());
    const bool mounted = machine::MountDrive('D', ARV_INSTALL_MEDIA_DIR, DRIVE_CDROM);
    Report(mounted, std::string("install media ") + ARV_INSTALL_MEDIA_DIR + " in drive D: (CD-ROM)");
    if (!mounted)
        return 1;

    std::string installDir;
    bool ok = Install(&installDir);
    if (ok) {
        standin::DeviceProcess device;
        ok = DetectDevice(device) && Print(device);
        device.Stop();
    }
    if (ok)
        Scan(root);
    if (ok)
        ok = Uninstall(installDir);
    if (ok)
        Restart(installDir);
    Application.Reset();
    machine::testing::SetModuleFileName("");
    Say("%s\n", gFailures == 0 && ok ? "The whole road succeeded." : "The road FAILED.");
    return gFailures == 0 && ok ? 0 : 1;
}
