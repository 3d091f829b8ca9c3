#include "ScannerRun.h"

#include <sys/stat.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "Application.h"
#include "Debug_form.h"
#include "FileContents.h"
#include "FormPilot.h"
#include "Gb2312Text.h"
#include "SamplePages.h"
#include "machine/Paths.h"
#include "machine/Shell.h"
#include "windows.h"

namespace scanner_program_test {
namespace {

struct Text {
    int id;
    const char *english;
    const char *chinese; // UTF-8
};

// The texts the tests look for, as the program is to show them.
const Text kTexts[] = {
    {8, "Scanner ready.\r\nPlease insert a document(s) to be scanned.", "扫描设备准备就绪\r\n请插入要扫描的文稿."},
    {10, "Scanner busy.\r\nPlease check your device LCD message for more details.",
     "扫描设备繁忙.\r请检查LCD显示屏以获取更多提示信息."},
    {11, "Scanner error.\r\nPlease check your device LCD message for more details.",
     "扫描任务出错.\r\n请检查LCD显示屏以获取更多提示信息."},
    {12, "Scanner not connected.\r\nPlease check your USB connection.", "扫描设备未连接.\r\n请检查USB连接."},
    {13, "Document ready for scan.", "扫描文稿准备就绪."},
    {14, "Scanning in progress.", "扫描任务进行中."},
    {15, "Document scanned.", "扫描任务已完成."},
    {17, "Scanner power off.", "扫描设备已关机"},
    {18, "Scanner error.\r\nFailed durring scan transfer", "扫描任务出错.\r\n扫描数据传输失败."},
    {19, "Scanner", "扫描设备"},
    {20, "Scan document", "扫描文稿"},
    {21, "Close", "关闭"},
    {22, "Destination folder", "目标文件夹"},
    {23, "Destination folder :", "目标文件夹:"},
    {24, "Loading...", "请稍候..."},
    {25, "Please wait.\r\nPrinting on going.", ""},
};

} // namespace

std::string Expected(int id, int language)
{
    for (const Text &text : kTexts)
        if (text.id == id)
            return language == kChinese ? testsupport::Gb2312(text.chinese) : text.english;
    ADD_FAILURE() << "no expected text for message " << id;
    return std::string();
}

void RecordsOf(const std::vector<pbm::Image> &pages, TMemoryStream *stream)
{
    std::vector<unsigned char> records = {0xFE, 0xF2, 0, 1, 0, 0};
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            records.insert(records.end(), {0xFE, 0xF8, 0, 0, 0, 0});
        for (int row = 0; row < pages[i].height; ++row) {
            std::vector<unsigned char> code;
            standin::EncodeRecordLine(pages[i].Row(row), standin::kLineBytes, standin::kMaxRecordBytes, &code);
            records.insert(records.end(), {0xFE, 0xF3, static_cast<unsigned char>(code.size())});
            records.insert(records.end(), code.begin(), code.end());
        }
    }
    records.insert(records.end(), {0xFE, 0xF6, 0, 0, 0, 0});
    stream->Clear();
    stream->Write(records.data(), static_cast<int>(records.size()));
}

void ScannerRunTest::SetUp()
{
    ASSERT_TRUE(FRoot.Made());
    SetLanguage(kEnglish);
    // No desktop: Explorer and the picture viewer hand nothing on.
    FEnvironment.Clear("DISPLAY");
    FEnvironment.Clear("WAYLAND_DISPLAY");

    // The user's ".tif" files open in a recorder that logs their names.
    ASSERT_TRUE(RegisterTifRecorder(OpenedLog()));

    FDocumentFolder = FRoot.Scratch("document");
    Application->Initialize();
    FPilot = std::make_unique<classlib_testing::TDialogPilot>();
}

void ScannerRunTest::TearDown()
{
    CloseScanner();
    FPilot.reset();
    FDevice.reset();
}

void ScannerRunTest::SetLanguage(int language)
{
    ASSERT_TRUE(testsupport::WriteUiLanguage(std::to_string(language) + "\n"));
}

standin::DeviceProcess &ScannerRunTest::StartDevice(const standin::DeviceOptions &options)
{
    FDevice = std::make_unique<standin::DeviceProcess>(options);
    EXPECT_TRUE(FDevice->Started()) << FDevice->Error();
    return *FDevice;
}

standin::DeviceProcess &ScannerRunTest::StartDevice(const std::string &state)
{
    standin::DeviceOptions options;
    options.state = state;
    return StartDevice(options);
}

std::vector<std::string> ScannerRunTest::WriteDocument(const std::vector<pbm::Image> &pages)
{
    std::vector<std::string> paths;
    for (const pbm::Image &page : pages) {
        paths.push_back(FDocumentFolder + "/page-" + std::to_string(++FDocuments) + ".pbm");
        EXPECT_TRUE(pbm::WriteFile(paths.back(), page));
    }
    return paths;
}

void ScannerRunTest::StartScanner()
{
    Application->CreateForm(&MainForm);
    Application->CreateForm(&DebugForm);
    ASSERT_NE(MainForm, nullptr);
    MainForm->Show();
    FShown.clear();
    FLastShown.clear();
    Record();
}

void ScannerRunTest::CloseScanner()
{
    Application.Reset();
    MainForm = nullptr;
    DebugForm = nullptr;
}

std::string ScannerRunTest::Status() const { return MainForm ? MainForm->MsgLabel->Caption().str() : std::string(); }

void ScannerRunTest::Record()
{
    const std::string shown = Status();
    if (shown != FLastShown) {
        FShown.push_back(shown);
        FLastShown = shown;
    }
}

bool ScannerRunTest::WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        Record();
        if (done())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        loop.exec(); // sleeps until the next event, at the latest the tick
    }
}

bool ScannerRunTest::WaitForStatus(int id, int timeoutMs, int language)
{
    const std::string text = Expected(id, language);
    return WaitUntil([&] { return Status() == text; }, timeoutMs);
}

void ScannerRunTest::RunFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

std::vector<std::string> ScannerRunTest::TakeShown()
{
    Record();
    std::vector<std::string> shown;
    shown.swap(FShown);
    return shown;
}

std::string ScannerRunTest::Opened() const { return testsupport::ReadText(OpenedLog()); }

std::string ScannerRunTest::Explored() const { return testsupport::ReadText(machine::ExplorerLog()); }

std::string ScannerRunTest::UnixPath(const std::string &windowsPath) const
{
    return machine::UnixPath(windowsPath.c_str());
}

std::string ScannerRunTest::Picture(const std::string &name)
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    return classlib_testing::SavePicture(MainForm, std::string("scanner_program_test/") + test->name(), name);
}

void ExpectPilotClean(const classlib_testing::TDialogPilot &pilot)
{
    for (const std::string &problem : pilot.Problems())
        ADD_FAILURE() << "dialog pilot: " << problem;
    EXPECT_EQ(pilot.AnswersLeft(), 0u) << "a scripted dialog never came";
}

} // namespace scanner_program_test
