// A fresh machine root without a desktop, for the shell tests, with
// helpers to start through the shell and wait, and to write classes and
// small programs.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "windows.h"

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // ShellExecuteExA with a process handle; the result (hInstApp).
    struct Started {
        int result = 0;
        HANDLE process = nullptr;
    };
    Started Execute(const char *verb, const std::string &file, const char *parameters = nullptr,
                    const char *directory = nullptr);
    // Waits for the process (generous bounds), closes it; its exit code.
    DWORD Finish(HANDLE process);
    // Execute and Finish; the result, and the exit code in *code.
    int ExecuteToEnd(const char *verb, const std::string &file, const char *parameters = nullptr,
                     DWORD *code = nullptr);

    // Writes a default value (REG_SZ or REG_EXPAND_SZ) of a key, made with
    // the keys on its way.
    static void SetDefault(HKEY root, const std::string &key, const std::string &value, DWORD type = REG_SZ);
    // A small program at a Windows path (a script; mode 0755).
    static bool WriteProgram(const std::string &windowsPath, const std::string &text, unsigned mode = 0755);

    testsupport::TempMachineRoot root_{"arv-shell", testsupport::Layout::Now};
    testsupport::ScopedEnvironment environment_;
};
