// The Reg* functions in a fresh machine root: result codes, sizes, names,
// order, access rights and handles, as Windows gives them.
#include "RegistryFixture.h"

#include "ChildProcess.h"

#include "machine/Registry.h"
#include "winreg.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kMfp[] = "Software\\VELTRONA\\Mfp";

class RegistryApi : public TempRootTest {
protected:
    void TearDown() override
    {
        for (HKEY key : fOpened)
            RegCloseKey(key);
    }

    HKEY Create(HKEY root, const char *path, REGSAM access = KEY_ALL_ACCESS)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        fOpened.push_back(key);
        return key;
    }

    HKEY Open(HKEY root, const char *path, REGSAM access)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(root, path, 0, access, &key), ERROR_SUCCESS) << path;
        fOpened.push_back(key);
        return key;
    }

    // Makes the hive come from its file again: the same text under a new
    // inode, as if another process had written it.
    void Reparse()
    {
        std::string text = ReadFile(MachineHive());
        ASSERT_FALSE(text.empty());
        WriteFile(MachineHive(), text);
    }

    std::vector<HKEY> fOpened;
};

TEST_F(RegistryApi, CreatesOpensAndQueriesWithWindowsSizes)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kMfp, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    fOpened.push_back(key);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const std::string path = "C:\\Windows\\inf\\oem3.inf";
    ASSERT_EQ(SetString(key, "UsbBusOemInf", path), ERROR_SUCCESS);

    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kMfp, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &again,
                              &disposition),
              ERROR_SUCCESS);
    fOpened.push_back(again);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_NE(again, key);

    // Size only: the string and its NUL.
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(again, "UsbBusOemInf", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, path.size() + 1);

    // Too small: ERROR_MORE_DATA with the size needed, buffer untouched.
    char small[8];
    memset(small, '#', sizeof small);
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(again, "UsbBusOemInf", nullptr, &type, reinterpret_cast<BYTE *>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, path.size() + 1);
    EXPECT_EQ(small[0], '#');

    // Exactly big enough.
    std::vector<char> exact(path.size() + 1, '#');
    size = static_cast<DWORD>(exact.size());
    ASSERT_EQ(RegQueryValueExA(again, "UsbBusOemInf", nullptr, &type, reinterpret_cast<BYTE *>(exact.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, path.size() + 1);
    EXPECT_STREQ(exact.data(), path.c_str());

    EXPECT_EQ(RegQueryValueExA(again, "UsbBusOemInf", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS)
        << "nothing asked: only whether it exists";
    EXPECT_EQ(RegQueryValueExA(again, "UsbBusOemInf", nullptr, nullptr, reinterpret_cast<BYTE *>(small), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(again, "UsbPortOemInf", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VELTRONA\\Nothing", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMfp, 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND)
        << "the two hives are separate";
}

struct ValueCase {
    const char *label;
    DWORD type;
    std::string data;
};

std::ostream &operator<<(std::ostream &out, const ValueCase &c) { return out << c.label; }

std::string AllBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

class RegistryValues : public RegistryApi, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValues, SurviveTheFileExactly)
{
    const ValueCase &c = GetParam();
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Values");
    ASSERT_EQ(SetValue(key, "value", c.type, c.data), ERROR_SUCCESS);
    Reparse();
    DWORD type = 0;
    std::string data;
    ASSERT_EQ(QueryValue(key, "value", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).refusal, 0) << ReadFile(MachineHive());
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegistryValues,
    ::testing::Values(ValueCase{"string", REG_SZ, std::string("COM3\0", 5)},
                      ValueCase{"empty_string", REG_SZ, std::string("\0", 1)},
                      ValueCase{"string_without_nul", REG_SZ, "COM3"},
                      ValueCase{"string_with_inner_nul", REG_SZ, std::string("a\0b\0", 4)},
                      ValueCase{"no_bytes", REG_SZ, ""},
                      ValueCase{"every_byte_as_string", REG_SZ, AllBytes().substr(1) + std::string(1, '\0')},
                      ValueCase{"gb2312_text", REG_SZ, std::string("\xd6\xd0\xce\xc4\0", 5)},
                      ValueCase{"quotes_and_backslashes", REG_EXPAND_SZ,
                                std::string("%SystemRoot%\\\"x\"\\\0", 18)},
                      ValueCase{"dword", REG_DWORD, std::string("\x2a\0\0\x80", 4)},
                      ValueCase{"short_dword", REG_DWORD, std::string("\x01\x02", 2)},
                      ValueCase{"binary", REG_BINARY, AllBytes()},
                      ValueCase{"empty_binary", REG_BINARY, ""},
                      ValueCase{"multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9)},
                      ValueCase{"empty_multi", REG_MULTI_SZ, std::string("\0", 1)},
                      ValueCase{"odd_multi", REG_MULTI_SZ, std::string("a\0\0b\0\0", 6)},
                      ValueCase{"qword", REG_QWORD, std::string("\1\2\3\4\5\6\7\x08", 8)},
                      ValueCase{"none", REG_NONE, ""},
                      ValueCase{"unnamed_type", 0x12345678u, "x"}),
    [](const ::testing::TestParamInfo<ValueCase> &info) { return std::string(info.param.label); });

TEST_F(RegistryApi, NamesIgnoreCaseAndKeepTheirSpelling)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000");
    ASSERT_EQ(SetString(key, "PortName", "COM3"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "PORTNAME", "COM4"), ERROR_SUCCESS) << "the same value";
    EXPECT_EQ(ValueNames(key), std::vector<std::string>({"PortName"}));
    DWORD type;
    std::string data;
    ASSERT_EQ(QueryValue(key, "portname", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("COM4\0", 5));

    HKEY other = Open(HKEY_LOCAL_MACHINE, "system\\currentcontrolset\\enum\\ftdibus", KEY_READ);
    EXPECT_EQ(SubKeys(other), std::vector<std::string>({"VID_0403+PID_6001+A1"}));
    HKEY created = Create(HKEY_LOCAL_MACHINE, "SYSTEM\\CURRENTCONTROLSET\\Enum\\FTDIBUS\\vid_0403+pid_6001+a1");
    (void)created;
    EXPECT_EQ(SubKeys(other), std::vector<std::string>({"VID_0403+PID_6001+A1"})) << "no second key, same spelling";
}

TEST_F(RegistryApi, EnumeratesSubkeysSortedWithoutRegardToCase)
{
    // Windows sorts by the upper-cased names: '_' (0x5F) comes after the
    // letters, digits before them.
    const char *created[] = {"b", "_x", "A", "a1", "C", "VID_0403+PID_6001+B", "vid_0403+PID_6001+A", "9"};
    HKEY bus = Create(HKEY_LOCAL_MACHINE, "SYSTEM\\Order");
    for (const char *name : created) {
        HKEY child = nullptr;
        ASSERT_EQ(RegCreateKeyA(bus, name, &child), ERROR_SUCCESS);
        RegCloseKey(child);
    }
    const std::vector<std::string> expected = {"9", "A", "a1", "b", "C", "vid_0403+PID_6001+A",
                                               "VID_0403+PID_6001+B", "_x"};
    EXPECT_EQ(SubKeys(bus), expected);
    Reparse();
    EXPECT_EQ(SubKeys(bus), expected) << "the same order from the file";

    char name[256];
    DWORD length = 5; // "vid_0403+PID_6001+A" does not fit
    EXPECT_EQ(RegEnumKeyExA(bus, 5, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    length = 1; // "9" needs 2 with its NUL
    EXPECT_EQ(RegEnumKeyExA(bus, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    length = 2;
    EXPECT_EQ(RegEnumKeyExA(bus, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(length, 1u);
    length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(bus, 8, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryApi, EnumeratesValuesInCreationOrderWithSizes)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Values");
    ASSERT_EQ(SetString(key, "zeta", "last-but-first"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Alpha", "a"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "", "default"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "ZETA", "again"), ERROR_SUCCESS) << "a replaced value keeps its place";
    EXPECT_EQ(ValueNames(key), std::vector<std::string>({"zeta", "Alpha", ""}));

    char name[16];
    DWORD nameLength = sizeof name, type = 0;
    char data[2];
    DWORD size = sizeof data;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE *>(data), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u) << "the size needed for \"again\"";
    nameLength = 4; // "zeta" needs 5
    size = 0;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, nullptr, &size), ERROR_MORE_DATA);
    nameLength = sizeof name;
    size = 0;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameLength, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Alpha");
    EXPECT_EQ(nameLength, 5u);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(type, REG_SZ);
    nameLength = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 3, name, &nameLength, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    DWORD subKeys = 9, values = 0, longestName = 0, largest = 0, longestKey = 9;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values, &longestName,
                               &largest, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 0u);
    EXPECT_EQ(longestKey, 0u);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(longestName, 5u);
    EXPECT_EQ(largest, 8u); // "default" and its NUL

    // Taking one out of the middle: the others keep their order and are
    // found by name, before and after the hive is read again.
    ASSERT_EQ(RegDeleteValueA(key, "ALPHA"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "beta", "b"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Zeta", "third"), ERROR_SUCCESS);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(ValueNames(key), std::vector<std::string>({"zeta", "", "beta"}));
        std::string data;
        ASSERT_EQ(QueryValue(key, "BETA", &type, &data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("b\0", 2));
        ASSERT_EQ(QueryValue(key, "zeta", &type, &data), ERROR_SUCCESS);
        EXPECT_EQ(data, std::string("third\0", 6));
        EXPECT_EQ(QueryValue(key, "alpha", &type, &data), ERROR_FILE_NOT_FOUND);
        Reparse();
    }
}

TEST_F(RegistryApi, HandlesRefuseWhatTheirAccessDoesNotAllow)
{
    HKEY writable = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Rights\\Existing");
    ASSERT_EQ(SetString(writable, "kept", "yes"), ERROR_SUCCESS);
    const std::string before = ReadFile(MachineHive());

    HKEY readOnly = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Rights", KEY_READ);
    HKEY existing = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Rights\\Existing", KEY_READ);
    EXPECT_EQ(SetString(existing, "new", "no"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(existing, "kept"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(readOnly, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(ReadFile(MachineHive()), before) << "refused changes write nothing";

    // Opening an existing key through RegCreateKeyExA needs no right to create.
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(readOnly, "existing", 0, nullptr, 0, KEY_READ, nullptr, &child, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(child);

    HKEY writeOnly = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Rights\\Existing", KEY_WRITE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(writeOnly, "kept", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    char name[16];
    DWORD length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(writeOnly, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetString(writeOnly, "written", "yes"), ERROR_SUCCESS);

    HKEY narrow = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Rights\\Existing", KEY_QUERY_VALUE);
    EXPECT_EQ(RegQueryValueExA(narrow, "written", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegEnumKeyExA(narrow, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryApi, DeletesKeysAsNtDoes)
{
    HKEY uninstall = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    HKEY entry = Create(uninstall, "ARV-A700 Scanner-Printer");
    ASSERT_EQ(SetString(entry, "InstallLocation", "C:\\Program Files\\Veltrona\\Norvik"), ERROR_SUCCESS);
    HKEY below = Create(entry, "Below");

    EXPECT_EQ(RegDeleteKeyA(uninstall, "ARV-A700 Scanner-Printer"), ERROR_ACCESS_DENIED) << "it has a subkey";
    EXPECT_EQ(RegDeleteKeyA(uninstall, "Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED) << "a hive's root stays";
    ASSERT_EQ(RegDeleteKeyA(entry, "below"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(uninstall, "arv-a700 scanner-printer"), ERROR_SUCCESS);

    // Handles on deleted keys stay handles, but their key is gone.
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(entry, "InstallLocation", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(SetString(entry, "InstallLocation", "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(SetString(below, "x", "x"), ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(entry, "Again", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(SubKeys(uninstall), std::vector<std::string>());

    // Re-created under the same name: the old handle still belongs to the deleted key.
    Create(uninstall, "ARV-A700 Scanner-Printer");
    EXPECT_EQ(RegQueryValueExA(entry, "InstallLocation", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);

    // RegDeleteTreeA takes everything below.
    HKEY tree = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B\\C");
    ASSERT_EQ(SetString(tree, "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A"), ERROR_SUCCESS);
    HKEY parent = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree", KEY_READ);
    EXPECT_EQ(SubKeys(parent), std::vector<std::string>());
    EXPECT_EQ(SetString(tree, "v", "y"), ERROR_KEY_DELETED);

    // Without a subkey it empties the key and keeps it.
    HKEY full = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Full");
    Create(full, "Sub");
    ASSERT_EQ(SetString(full, "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(full, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(full), std::vector<std::string>());
    EXPECT_EQ(ValueNames(full), std::vector<std::string>());
    EXPECT_EQ(SetString(full, "still", "open"), ERROR_SUCCESS);
}

TEST_F(RegistryApi, SeesAKeyDeletedByAnotherProcess)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone");
    ASSERT_EQ(SetString(key, "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(testsupport::RunInChild(
                  [] { return RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone") == ERROR_SUCCESS ? 0 : 1; }),
              0);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(SetString(key, "v", "y"), ERROR_KEY_DELETED);
}

TEST_F(RegistryApi, SeesEveryVersionAnotherProcessWrites)
{
    // Values of the same size written in quick succession: each new file has
    // the old one's size and may reuse its inode; the reader still tells the
    // versions apart.
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Versions");
    ASSERT_EQ(SetString(key, "v", "000"), ERROR_SUCCESS);
    for (int round = 1; round <= 40; ++round) {
        std::string text = std::to_string(100 + round).substr(0, 3);
        ASSERT_EQ(testsupport::RunInChild([&] { return SetString(key, "v", text) == ERROR_SUCCESS ? 0 : 1; }), 0);
        DWORD type;
        std::string data;
        ASSERT_EQ(QueryValue(key, "v", &type, &data), ERROR_SUCCESS);
        ASSERT_EQ(data, text + std::string(1, '\0')) << "round " << round;
    }
}

TEST_F(RegistryApi, RefusesBadHandlesAndPaths)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(nullptr, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_USERS, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);

    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths\\", &made), ERROR_SUCCESS)
        << "one trailing backslash is allowed";
    ASSERT_EQ(RegCloseKey(made), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(made), ERROR_INVALID_HANDLE) << "closed twice";
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(made, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths\\", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Paths", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Paths", &key), ERROR_BAD_PATHNAME);
    std::string tooLong = "SOFTWARE\\" + std::string(256, 'k');
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    std::string longest = "SOFTWARE\\" + std::string(255, 'k');
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, longest.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);

    // Null and empty subkeys give a new handle to the same key.
    HKEY paths = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths", KEY_ALL_ACCESS);
    HKEY same = Open(paths, nullptr, KEY_ALL_ACCESS);
    ASSERT_EQ(SetString(same, "via", "same"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(paths, "via", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);

    EXPECT_EQ(RegSetValueExA(paths, "x", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(paths, "x", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS) << "an empty value";
    EXPECT_EQ(RegDeleteValueA(paths, "absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(paths, "X"), ERROR_SUCCESS);
}

TEST_F(RegistryApi, KeepsTheMachineRootOfItsHandle)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Here");
    const std::string firstHive = MachineHive();
    testsupport::TempFolder other("arv-registry-other");
    ASSERT_TRUE(other.Made());
    setenv(machine::kRootVariable, other.Path().c_str(), 1);
    ASSERT_EQ(SetString(key, "v", "first root"), ERROR_SUCCESS);
    HKEY elsewhere = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Here", 0, KEY_READ, &elsewhere), ERROR_FILE_NOT_FOUND)
        << "the predefined keys follow the current root";
    EXPECT_NE(ReadFile(firstHive).find("first root"), std::string::npos);
}

} // namespace
