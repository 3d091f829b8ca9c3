#include "ShellFixture.h"

#include <sys/stat.h>

#include <cstring>

#include "FileContents.h"
#include "machine/Paths.h"

void ShellFixture::SetUp()
{
    ASSERT_TRUE(root_.Made());
    environment_.Clear("DISPLAY");
    environment_.Clear("WAYLAND_DISPLAY");
}

ShellFixture::Started ShellFixture::Execute(const char *verb, const std::string &file, const char *parameters,
                                            const char *directory)
{
    SHELLEXECUTEINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters;
    info.lpDirectory = directory;
    info.nShow = SW_SHOWNOACTIVATE;
    const BOOL ok = ShellExecuteExA(&info);
    Started started;
    started.result = static_cast<int>(reinterpret_cast<uintptr_t>(info.hInstApp));
    started.process = info.hProcess;
    EXPECT_EQ(ok != FALSE, started.result > 32) << file;
    EXPECT_EQ(started.process != nullptr, started.result > 32) << file;
    return started;
}

DWORD ShellFixture::Finish(HANDLE process)
{
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    DWORD code = 0xDEAD;
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_TRUE(CloseHandle(process));
    return code;
}

int ShellFixture::ExecuteToEnd(const char *verb, const std::string &file, const char *parameters, DWORD *code)
{
    const Started started = Execute(verb, file, parameters);
    if (started.process) {
        const DWORD ended = Finish(started.process);
        if (code)
            *code = ended;
    }
    return started.result;
}

void ShellFixture::SetDefault(HKEY root, const std::string &key, const std::string &value, DWORD type)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS)
        << key;
    ASSERT_EQ(RegSetValueExA(handle, nullptr, 0, type, reinterpret_cast<const BYTE *>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

bool ShellFixture::WriteProgram(const std::string &windowsPath, const std::string &text, unsigned mode)
{
    const std::string unixPath = machine::UnixPath(windowsPath.c_str());
    for (size_t slash = unixPath.find('/', 1); slash != std::string::npos; slash = unixPath.find('/', slash + 1))
        mkdir(unixPath.substr(0, slash).c_str(), 0755);
    return testsupport::WriteText(unixPath, text) && chmod(unixPath.c_str(), mode) == 0;
}
