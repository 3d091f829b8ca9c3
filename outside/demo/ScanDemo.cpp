// arv_scan_demo [ROOT]
// Scans a sample document end to end in a fresh machine root, without a
// display: puts a two-page document into the device stand-in, runs the
// scanner program's entry point with its window on Qt's offscreen platform,
// presses Scan as a user would once the program enables it, closes the
// program once the box says the device is ready again, and compares the
// Group 3 TIFF it saved with the document, dot for dot, as libtiff reads it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "DeviceHarness.h"
#include "FormPilot.h"
#include "GuiApplication.h"
#include "Main_form.h"
#include "SamplePages.h"
#include "TiffPages.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "winmain.h"

namespace {

constexpr const char *kDocumentText = "Document ready for scan.";
constexpr const char *kReadyText = "Scanner ready.\r\nPlease insert a document(s) to be scanned.";
constexpr int kDeadlineMs = 180000;

pbm::Image PbmOf(const jobwriter::PageImage &page)
{
    pbm::Image image;
    image.width = jobwriter::kPageDots;
    image.height = page.Height;
    image.rows = page.Bits;
    return image;
}

std::string Shown(const AnsiString &text)
{
    std::string shown;
    for (char c : text.str())
        if (c != '\r')
            shown += c == '\n' ? std::string(" / ") : std::string(1, c);
    return shown;
}

// Works the scanner program's window as a user would: waits for the box to
// say that a document is ready and Scan to be enabled, and presses it, then waits for the box to say the device is
// ready again (the scan is saved by then) and presses Close.
class User {
public:
    User()
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Look(); });
        FTimer.start(50);
    }
    bool Scanned() const { return FStep == kDone && !FTimedOut; }

private:
    enum { kWaitForScan, kWaitForReady, kDone };

    void Look()
    {
        if (!MainForm || FStep == kDone)
            return;
        const AnsiString status = MainForm->MsgLabel->Caption();
        if (status != FLastStatus) {
            printf("  status box: %s\n", Shown(status).c_str());
            FLastStatus = status;
        }
        if (++FLooks * 50 > kDeadlineMs) {
            FTimedOut = true;
            Close();
            return;
        }
        if (FStep == kWaitForScan && status == kDocumentText && MainForm->ScanBut->Enabled()) {
            printf("  pressing \"%s\"\n", MainForm->ScanBut->Caption().c_str());
            FPilot.Click(MainForm->ScanBut);
            FStep = kWaitForReady;
        } else if (FStep == kWaitForReady && status == kReadyText) {
            Close();
        }
    }

    void Close()
    {
        printf("  pressing \"%s\"\n", MainForm->CloseBut->Caption().c_str());
        FStep = kDone;
        FPilot.Click(MainForm->CloseBut);
    }

    QTimer FTimer;
    classlib_testing::TFormPilot FPilot;
    AnsiString FLastStatus;
    int FStep = kWaitForScan;
    int FLooks = 0;
    bool FTimedOut = false;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        setenv(machine::kRootVariable, argv[1], 1);
    // Headless: the window is drawn offscreen, and the saved scan is not
    // handed to a desktop's viewer.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const std::string root = machine::RootPath();
    printf("machine root: %s\n", root.c_str());

    const std::string documents = machine::UnixPath(machine::kDocumentsDir);
    const std::vector<pbm::Image> document = {PbmOf(jobwriter::MakeTextPage(5, 1500)),
                                              PbmOf(jobwriter::MakeDrawingPage(6))};
    standin::DeviceOptions options;
    for (size_t i = 0; i < document.size(); ++i) {
        options.scanPages.push_back(documents + "/sample-scan-page-" + std::to_string(i + 1) + ".pbm");
        if (!pbm::WriteFile(options.scanPages.back(), document[i])) {
            fprintf(stderr, "cannot write %s\n", options.scanPages.back().c_str());
            return 1;
        }
    }
    printf("sample document: %zu pages in %s\n", document.size(), documents.c_str());

    standin::DeviceProcess device(options);
    if (!device.Started()) {
        fprintf(stderr, "device stand-in did not start: %s\n", device.Error().c_str());
        return 1;
    }
    printf("device stand-in: %s on %s, the document lying in it\n", device.PortName().c_str(),
           device.TtyPath().c_str());

    printf("scanner program:\n");
    GuiApplication();
    bool scanned = false;
    {
        User user;
        char noArguments[] = "";
        WinMain(nullptr, nullptr, noArguments, 1);
        scanned = user.Scanned();
    }
    if (!scanned) {
        printf("the scan did not come to an end within %d s\n", kDeadlineMs / 1000);
        return 1;
    }

    // The first start keeps scans in the documents folder.
    const std::string tif = documents + "/image_0.tif";
    std::vector<tiffpages::Page> pages;
    std::string why;
    const std::string scratch = root + "/scan-check";
    mkdir(scratch.c_str(), 0755);
    if (!tiffpages::ReadPages(tif, scratch, &pages, &why)) {
        printf("no scan to check: %s\n", why.c_str());
        return 1;
    }
    bool allSame = pages.size() == document.size();
    printf("scanned: %s (%zu pages)\n", tif.c_str(), pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const tiffpages::Page &page = pages[i];
        const bool group3 = page.compression == tiffpages::kCompressionGroup3 && (page.t4Options < 0 || (page.t4Options & 1) == 0);
        const std::string differs = i < document.size() ? tiffpages::CompareWithDocument(page.image, document[i])
                                                        : std::string("no such document page");
        printf("  page %zu: %dx%d dots at %dx%d dpi, %s, %s\n", i + 1, page.image.width, page.image.height,
               page.xResolution, page.yResolution, group3 ? "CCITT Group 3 1-D" : "NOT Group 3 1-D",
               differs.empty() ? "matches the document page" : differs.c_str());
        allSame = allSame && group3 && differs.empty();
    }
    printf("%s\n", allSame ? "the scan matches the document" : "MISMATCH");
    return allSame ? 0 : 1;
}
