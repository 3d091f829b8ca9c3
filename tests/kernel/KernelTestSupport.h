// Shared pieces of the kernel tests: a fresh machine root per test, a
// pseudo-terminal linked as a COM port, and clocks for elapsed and CPU time.
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace kerneltest {

// Creates a temporary folder and points ARV_MACHINE_ROOT at it for the
// test's life; removes it afterwards without following links.
class TempMachineRoot {
public:
    TempMachineRoot();
    ~TempMachineRoot();
    const std::string &Path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// Removes a folder tree without following links (the root's Z: link leads
// to "/").
void RemoveTree(const std::string &path);

// A fresh temporary folder of its own (not in the machine root).
std::string MakeTempFolder();

void WriteFileText(const std::string &path, const std::string &text);
std::string ReadFileText(const std::string &path);

// A pseudo-terminal whose slave is linked as a COM port of the current root.
class LinkedPty {
public:
    explicit LinkedPty(const std::string &portName);
    ~LinkedPty();

    int Master() const { return master_; }
    const std::string &SlavePath() const { return slave_; }
    void CloseMaster();

    void Send(const std::string &bytes);
    // Reads what the port wrote until `count` bytes came or `timeoutMs`
    // passed.
    std::string Receive(size_t count, int timeoutMs);

private:
    int master_ = -1;
    std::string slave_;
};

int64_t MonotonicMs();
int64_t ThreadCpuMs();

} // namespace kerneltest
