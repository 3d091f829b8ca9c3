// arv_demo [ROOT]
// Prints a sample job end to end in a fresh machine root: starts the device
// stand-in, registers the printer on the port monitor's port, writes a
// multi-page job with the printer driver's stand-in, prints it with the print
// command through orvel_printer.exe, and compares the printed pages with the
// source pages.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "DeviceHarness.h"
#include "JobWriter.h"
#include "PbmImage.h"
#include "PortMonitorSetup.h"
#include "SamplePages.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"

namespace {

constexpr const char *kPrinterName = "ARV-A700 Scanner-Printer";

bool WriteFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A printed page matches its source when their rows agree where both have
// rows and every further row of either is blank: the coding leaves out the
// blank lines at a page's end, and the device fills its last line.
bool SamePage(const jobwriter::PageImage &source, const standin::Bitmap &printed, std::string *why)
{
    if (printed.width != jobwriter::kPageDots) {
        *why = "printed page is " + std::to_string(printed.width) + " dots wide";
        return false;
    }
    const int row = pbm::FirstDifferentRow(jobwriter::kPageDots, source.Bits.data(), source.Height,
                                           printed.rows.data(), printed.height);
    if (row >= 0) {
        *why = "row " + std::to_string(row) + " differs";
        return false;
    }
    return true;
}

int RunPrint(const std::string &jobPath)
{
    pid_t child = fork();
    if (child == 0) {
        execl(ARV_PRINT_PATH, "arv_print", kPrinterName, jobPath.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        setenv(machine::kRootVariable, argv[1], 1);
    std::string root = machine::RootPath();
    printf("machine root: %s\n", root.c_str());

    standin::DeviceProcess device;
    if (!device.Started()) {
        fprintf(stderr, "device stand-in did not start: %s\n", device.Error().c_str());
        return 1;
    }
    printf("device stand-in: %s on %s\n", device.PortName().c_str(), device.TtyPath().c_str());

    std::string documents = machine::UnixPath(machine::kDocumentsDir);
    std::vector<jobwriter::PageImage> pages = {
        jobwriter::MakeTextPage(1),
        jobwriter::MakeDrawingPage(2),
        jobwriter::MakeTextPage(3, 1100),
    };
    for (size_t i = 0; i < pages.size(); ++i)
        jobwriter::WritePbmFile(documents + "/sample-page-" + std::to_string(i + 1) + ".pbm", pages[i]);
    std::string jobPath = documents + "/sample-job.prn";
    jobwriter::JobOptions options;
    options.ExactBlankLines = true; // blank runs exactly as the pages have them
    if (!WriteFile(jobPath, jobwriter::WriteJob(pages, options))) {
        fprintf(stderr, "cannot write %s\n", jobPath.c_str());
        return 1;
    }
    printf("sample job: %s (%zu pages)\n", jobPath.c_str(), pages.size());

    std::string printer = machine::WindowsPath(ORVEL_PRINTER_PATH);
    const std::string port = portmon::AddPrinterOnNewPort(kPrinterName, printer);
    if (port.empty()) {
        fprintf(stderr, "cannot register the printer\n");
        return 1;
    }
    printf("printer \"%s\" on port %s runs %s\n", kPrinterName, port.c_str(), printer.c_str());

    int code = RunPrint(jobPath);
    printf("print command finished with exit code %d\n", code);

    std::string printedFolder = root + "/printed";
    mkdir(printedFolder.c_str(), 0755);
    std::vector<std::string> printed = device.PagePaths();
    bool allSame = printed.size() == pages.size() && code == 0;
    for (size_t i = 0; i < printed.size(); ++i) {
        standin::Bitmap bitmap;
        std::string kept = printedFolder + "/page-" + std::to_string(i + 1) + ".pbm";
        std::string why = "unreadable";
        bool same = standin::ReadPbm(printed[i], &bitmap) && standin::WritePbm(kept, bitmap) &&
                    i < pages.size() && SamePage(pages[i], bitmap, &why);
        printf("  page %zu: %s  %s\n", i + 1, kept.c_str(), same ? "matches its source page" : why.c_str());
        allSame = allSame && same;
    }
    printf("%zu of %zu pages printed; %s\n", printed.size(), pages.size(),
           allSame ? "all match their source pages" : "MISMATCH");
    return allSame ? 0 : 1;
}
