// The registry tests' fixture: a fresh machine root for each test, the
// machine hive's file, and the registry calls the tests make again and
// again.
#pragma once

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "winreg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

class TempRootTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fRoot.Made()); }

    const std::string &Root() const { return fRoot.Path(); }
    static std::string MachineHive() { return machine::HiveFile("HKEY_LOCAL_MACHINE"); }

    static std::string ReadFile(const std::string &path) { return testsupport::ReadText(path); }
    // Replaces the file the way an editor that saves to a new file does.
    static void WriteFile(const std::string &path, const std::string &text)
    {
        ASSERT_TRUE(testsupport::ReplaceText(path, text)) << path;
    }

    static LONG SetValue(HKEY key, const std::string &name, DWORD type, const std::string &data)
    {
        return RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                              static_cast<DWORD>(data.size()));
    }

    // A string value with its NUL.
    static LONG SetString(HKEY key, const std::string &name, const std::string &text, DWORD type = REG_SZ)
    {
        return SetValue(key, name, type, std::string(text.c_str(), text.size() + 1));
    }

    // The value's type and bytes, or the failing code.
    static LONG QueryValue(HKEY key, const std::string &name, DWORD *type, std::string *data)
    {
        DWORD size = 0;
        LONG result = RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
        if (result != ERROR_SUCCESS)
            return result;
        data->assign(size, '\0');
        result = RegQueryValueExA(key, name.c_str(), nullptr, type, reinterpret_cast<BYTE *>(&(*data)[0]), &size);
        data->resize(size);
        return result;
    }

    // The same on the key at `path` below `root`, which setting creates.
    static LONG SetValueAt(HKEY root, const std::string &path, const std::string &name, DWORD type,
                           const std::string &data)
    {
        HKEY key = nullptr;
        LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS)
            return result;
        result = SetValue(key, name, type, data);
        RegCloseKey(key);
        return result;
    }

    static LONG SetStringAt(HKEY root, const std::string &path, const std::string &name, const std::string &text)
    {
        return SetValueAt(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
    }

    static LONG QueryValueAt(HKEY root, const std::string &path, const std::string &name, std::string *data)
    {
        HKEY key = nullptr;
        LONG result = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
        if (result != ERROR_SUCCESS)
            return result;
        DWORD type = 0;
        result = QueryValue(key, name, &type, data);
        RegCloseKey(key);
        return result;
    }

    // The names an enumeration gives, index after index, until it says
    // there are no more.
    template <class Enumerate>
    static std::vector<std::string> Names(Enumerate enumerate)
    {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            const LONG result = enumerate(i, name, &length);
            if (result != ERROR_SUCCESS) {
                EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
                break;
            }
            EXPECT_EQ(length, strlen(name));
            names.emplace_back(name, length);
        }
        return names;
    }

    static std::vector<std::string> SubKeys(HKEY key)
    {
        return Names([key](DWORD i, char *name, DWORD *length) {
            return RegEnumKeyExA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    static std::vector<std::string> ValueNames(HKEY key)
    {
        return Names([key](DWORD i, char *name, DWORD *length) {
            return RegEnumValueA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

private:
    testsupport::TempMachineRoot fRoot{"arv-registry"};
};
