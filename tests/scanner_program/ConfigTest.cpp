// The destination folder and config.inc in the user's temporary folder:
// made on the first start, read as raw bytes, changed through the folder
// dialog, and a file that names no folder or cannot be written, which
// leave the documents folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileContents.h"
#include "FormPilot.h"
#include "ScannerRun.h"
#include "machine/MachineRoot.h"

namespace scanner_program_test {
namespace {

class ConfigTest : public ScannerRunTest {
protected:
    std::string ConfigPath() const { return UnixPath(machine::kTempDir) + "/config.inc"; }
    std::string Config() const { return testsupport::ReadText(ConfigPath()); }

    // The destination as the form, the scan thread and the edit have it
    // (a one-line edit shows a line break as a line feed).
    void ExpectDestination(const std::string &folder, const std::string &shown = "-")
    {
        EXPECT_EQ(TMainFormProbe::Destination(Form()).str(), folder);
        EXPECT_EQ(TScanThreadProbe::Destination(Thread()).str(), folder);
        EXPECT_EQ(Form()->DestEdit->Text().str(), shown == "-" ? folder : shown);
    }

    void ClickDestination()
    {
        classlib_testing::TFormPilot user;
        user.Click(Form()->DestBut);
    }
};

TEST_F(ConfigTest, FirstStartTakesTheDocumentsFolder)
{
    ASSERT_FALSE(std::filesystem::exists(ConfigPath()));
    StartScanner();
    ExpectDestination(machine::kDocumentsDir);
    EXPECT_EQ(Config(), machine::kDocumentsDir); // no terminator, no line break
    EXPECT_EQ(TMainFormProbe::TempFolder(Form()).str(), std::string(machine::kTempDir) + "\\");
}

TEST_F(ConfigTest, ReadsTheFileAsRawBytes)
{
    const std::string documents = machine::kDocumentsDir;
    const struct {
        const char *name;
        std::string content;
        std::string folder;
        std::string shown;
        std::string after; // config.inc once started
    } cases[] = {
        {"a folder", "C:\\Scans", "C:\\Scans", "C:\\Scans", "C:\\Scans"},
        {"a line break after it", "C:\\Scans\r\n", "C:\\Scans\r\n", "C:\\Scans\n", "C:\\Scans\r\n"},
        {"a zero byte inside", std::string("C:\\Scans\0C:\\Other", 17), "C:\\Scans", "C:\\Scans",
         std::string("C:\\Scans\0C:\\Other", 17)},
        // A file that names no folder is a first start: the documents folder,
        // kept in the file.
        {"an empty file", "", documents, documents, documents},
        {"a zero byte first", std::string("\0C:\\Other", 9), documents, documents, documents},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testsupport::WriteText(ConfigPath(), c.content));
        StartScanner();
        ExpectDestination(c.folder, c.shown);
        EXPECT_EQ(Config(), c.after);
        CloseScanner();
    }
}

// config.inc cannot be made where a folder of that name stands: the error
// is shown, the folder is left as it was, and the scans go to the
// documents folder.
TEST_F(ConfigTest, FolderInPlaceOfTheFileLeavesTheDocumentsFolder)
{
    std::filesystem::create_directories(ConfigPath() + "/inside");
    FPilot->Answer("OK");
    StartScanner();
    ExpectPilotClean(*FPilot);
    ASSERT_EQ(FPilot->Shown().size(), 1u);
    EXPECT_NE(FPilot->Shown()[0].Text.find("config.inc"), std::string::npos) << FPilot->Shown()[0].Text;
    ExpectDestination(machine::kDocumentsDir);
    EXPECT_TRUE(std::filesystem::is_directory(ConfigPath() + "/inside"));
    EXPECT_TRUE(Form()->CheckMsgTimer->Enabled());
}

TEST_F(ConfigTest, CancelledFolderDialogChangesNothing)
{
    ASSERT_TRUE(testsupport::WriteText(ConfigPath(), "C:\\Scans"));
    std::filesystem::create_directories(UnixPath("C:\\Scans"));
    StartScanner();
    FPilot->TypeFolder("C:\\Elsewhere");
    FPilot->Answer("Cancel");
    ClickDestination();
    ExpectPilotClean(*FPilot);
    ASSERT_EQ(FPilot->FolderDialogs().size(), 1u);
    EXPECT_EQ(FPilot->FolderDialogs()[0].Directory, "C:\\Scans");
    EXPECT_FALSE(FPilot->FolderDialogs()[0].Accepted);
    ExpectDestination("C:\\Scans");
    EXPECT_EQ(Config(), "C:\\Scans");
}

TEST_F(ConfigTest, AcceptedFolderDialogChangesTheDestination)
{
    StartScanner();
    FPilot->TypeFolder("C:\\Scans\\Year 2024");
    FPilot->Answer("OK");
    FPilot->Answer("&Yes"); // create it
    ClickDestination();
    ExpectPilotClean(*FPilot);
    ASSERT_EQ(FPilot->FolderDialogs().size(), 1u);
    EXPECT_EQ(FPilot->FolderDialogs()[0].Directory, machine::kDocumentsDir);
    EXPECT_TRUE(std::filesystem::is_directory(UnixPath("C:\\Scans\\Year 2024")));
    ExpectDestination("C:\\Scans\\Year 2024");
    EXPECT_EQ(Config(), "C:\\Scans\\Year 2024");
}

TEST_F(ConfigTest, UnwritableTemporaryFolderShowsTheErrorAndGoesOn)
{
    // The temporary folder's place holds a file, so nothing can be made in it.
    const std::string temp = UnixPath(machine::kTempDir);
    std::filesystem::remove_all(temp);
    ASSERT_TRUE(testsupport::WriteText(temp, "not a folder"));
    FPilot->Answer("OK");
    StartScanner();
    ExpectPilotClean(*FPilot);
    ASSERT_EQ(FPilot->Shown().size(), 1u);
    EXPECT_EQ(FPilot->Shown()[0].Icon, "error");
    EXPECT_NE(FPilot->Shown()[0].Text.find("Cannot create file"), std::string::npos) << FPilot->Shown()[0].Text;
    EXPECT_NE(FPilot->Shown()[0].Text.find("config.inc"), std::string::npos) << FPilot->Shown()[0].Text;

    // Start-up went on with the documents folder.
    ExpectDestination(machine::kDocumentsDir);
    EXPECT_EQ(Form()->ScanBut->Caption().str(), "Scan document");
    EXPECT_TRUE(Form()->CheckMsgTimer->Enabled());
    EXPECT_TRUE(WaitForStatus(12, 10000)) << Status();

    // A folder chosen later is the scan thread's too, though it cannot be
    // kept.
    std::filesystem::create_directories(UnixPath("C:\\Scans"));
    FPilot->TypeFolder("C:\\Scans");
    FPilot->Answer("OK");
    FPilot->Answer("OK"); // the error box
    ClickDestination();
    ExpectPilotClean(*FPilot);
    ExpectDestination("C:\\Scans");
    EXPECT_EQ(FPilot->Shown().size(), 2u);
}

} // namespace
} // namespace scanner_program_test
