// A fresh machine root for one test: a temporary folder that
// ARV_MACHINE_ROOT points at while the test runs, removed afterwards.
#pragma once

#include "machine/MachineRoot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

class TempRootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/arv-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        fRoot = pattern;
        setenv(machine::kRootVariable, fRoot.c_str(), 1);
    }

    void TearDown() override
    {
        unsetenv(machine::kRootVariable);
        nftw(fRoot.c_str(), [](const char *path, const struct stat *, int, struct FTW *) { return remove(path); },
             16, FTW_DEPTH | FTW_PHYS);
    }

    const std::string &Root() const { return fRoot; }
    static std::string MachineHive() { return machine::HiveFile("HKEY_LOCAL_MACHINE"); }

    static std::string ReadFile(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Replaces the file the way an editor that saves to a new file does.
    static void WriteFile(const std::string &path, const std::string &text)
    {
        std::string fresh = path + ".edit";
        {
            std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
            out << text;
        }
        ASSERT_EQ(rename(fresh.c_str(), path.c_str()), 0);
    }

private:
    std::string fRoot;
};
