#include "ScannerSetup.h"

#include <sys/stat.h>

#include "FileContents.h"
#include "SamplePages.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace scanner_program_test {
namespace {

const char *const kRecorder = "C:\\Tools\\recorder.exe";

bool SetDefault(HKEY root, const std::string &key, const std::string &value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

} // namespace

bool RegisterTifRecorder(const std::string &log)
{
    const std::string recorder = machine::UnixPath(kRecorder);
    mkdir((machine::RootPath() + "/logs").c_str(), 0755);
    mkdir(machine::UnixPath("C:\\Tools").c_str(), 0755);
    return testsupport::WriteText(recorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log + "'\n") &&
           chmod(recorder.c_str(), 0755) == 0 &&
           SetDefault(HKEY_CURRENT_USER, "Software\\Classes\\.tif", "Recorded.Picture") &&
           SetDefault(HKEY_CURRENT_USER, "Software\\Classes\\Recorded.Picture\\shell\\open\\command",
                      std::string("\"") + kRecorder + "\" \"%1\"");
}

pbm::Image DocumentPage(unsigned seed, int rows)
{
    const jobwriter::PageImage source = jobwriter::MakeTextPage(seed, rows);
    pbm::Image page;
    page.width = jobwriter::kPageDots;
    page.height = source.Height;
    page.rows = source.Bits;
    // Ink on the first and last rows, so that a lost row shows.
    page.Row(0)[seed % 216] |= 0x81;
    page.Row(rows - 1)[(seed * 7) % 216] |= 0x18;
    return page;
}

} // namespace scanner_program_test
