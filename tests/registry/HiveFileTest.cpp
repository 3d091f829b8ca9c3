// The hive files: readable text, hand edits, and damaged files that must
// neither crash the reader nor lose anything on the next write.
#include "RegistryFixture.h"

#include "machine/Registry.h"
#include "winreg.h"

#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char kPortKey[] = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device Parameters";

class HiveFile : public TempRootTest {};

TEST_F(HiveFile, IsPlainTextWithOneSectionPerKeyThatHoldsSomething)
{
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, kPortKey, "PortName", "COM3"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortKey, 0, KEY_WRITE, &key), ERROR_SUCCESS);
    DWORD number = 42;
    ASSERT_EQ(RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<BYTE *>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE *>("\x01\xff"), 2),
              ERROR_SUCCESS);
    RegCloseKey(key);

    const std::string text = ReadFile(MachineHive());
    EXPECT_NE(text.find("\n[SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device "
                        "Parameters]\n\"PortName\"=sz:\"COM3\"\n\"Count\"=dword:0000002a\n\"Blob\"=hex:01,ff\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("\n[SYSTEM]\n"), std::string::npos) << "a key without values goes with the keys below it";
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Parent", "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Parent\\Leaf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(ReadFile(MachineHive()).find("\n[SOFTWARE\\Parent]\n\"v\"=sz:\"x\"\n\n[SOFTWARE\\Parent\\Leaf]\n"),
              std::string::npos)
        << "keys with values and keys without subkeys have their lines";
    EXPECT_EQ(ReadFile(machine::HiveFile("HKEY_CURRENT_USER")), "") << "the other hive is not touched";
}

TEST_F(HiveFile, ReadsAHandWrittenHive)
{
    WriteFile(MachineHive(),
              "; written by hand\r\n"
              "# another comment\r\n"
              "\r\n"
              "  [SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device Parameters]  \r\n"
              "\"PortName\" = sz:\"COM9\"   \r\n"
              "@=sz:\"default\"\r\n"
              "\"Tab\"=sz:\"a\tb\\n\"\r\n"
              "\"Short\"=dword:2a\r\n"
              "\"List\"=multi:\"a\", \"b\"\r\n"
              "\"Quad\"=hex(b):01, 02,03,04,05,06,07,08\r\n"
              "[SOFTWARE\\%25Percent%5b]\r\n"
              "\"Chinese\"=sz:\"\xd6\xd0\xce\xc4\"\r\n");
    std::string text;
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "PortName", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("COM9\0", 5));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("default\0", 8));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "Tab", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("a\tb\n\0", 5));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "Short", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("\x2a\0\0\0", 4));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "List", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("a\0b\0\0", 5));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "Quad", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("\1\2\3\4\5\6\7\x08", 8));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\%Percent[", "Chinese", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("\xd6\xd0\xce\xc4\0", 5));
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).refusal, 0);

    // A change writes it back in the tool's own form, nothing lost.
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\%Percent[", "Chinese", &text), ERROR_SUCCESS);
    EXPECT_NE(ReadFile(MachineHive()).find("[SOFTWARE\\%25Percent[]\n\"Chinese\"=sz:\"\\xd6\\xd0\\xce\\xc4\"\n"),
              std::string::npos)
        << ReadFile(MachineHive());
}

TEST_F(HiveFile, KeyNamesKeepEveryByte)
{
    std::string name;
    for (int c = 1; c < 256; ++c)
        if (c != '\\')
            name += static_cast<char>(c);
    // 254 bytes: one key name may hold 255.
    std::string path = "SOFTWARE\\" + name;
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, path.c_str(), "\"quoted\\name\"\n", "v"), ERROR_SUCCESS);
    std::string text = ReadFile(MachineHive());
    WriteFile(MachineHive(), text); // read again from the file
    std::string value;
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, path.c_str(), "\"quoted\\name\"\n", &value), ERROR_SUCCESS);
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &software), ERROR_SUCCESS);
    char enumerated[256];
    DWORD length = sizeof enumerated;
    ASSERT_EQ(RegEnumKeyExA(software, 0, enumerated, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(software);
    EXPECT_EQ(std::string(enumerated, length), name);
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).refusal, 0);
}

// A sound hive whose text the damage cases below start from.
const char kSoundHive[] = "[SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device Parameters]\n"
                          "\"PortName\"=sz:\"COM3\"\n"
                          "[SOFTWARE\\Kept]\n"
                          "\"Value\"=sz:\"kept\"\n";

struct DamageCase {
    const char *label;
    std::string text;
    bool portReadable; // the FTDIBUS port is still found
    bool keptReadable; // SOFTWARE\Kept's value is still found
    int badLine;       // 0: anywhere
};

std::ostream &operator<<(std::ostream &out, const DamageCase &c) { return out << c.label; }

std::string Garbage()
{
    std::mt19937 random(7);
    std::string bytes(4096, '\0');
    for (char &c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// Lines of `count` values named "v0", "v1", ...
std::string ManyValues(int count)
{
    std::string lines;
    for (int v = 0; v < count; ++v)
        lines += "\"v" + std::to_string(v) + "\"=dword:" + std::to_string(v % 10) + "\n";
    return lines;
}

class DamagedHive : public HiveFile, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedHive, ReadsWhatParsesAndRefusesEveryChange)
{
    const DamageCase &c = GetParam();
    WriteFile(MachineHive(), c.text);

    machine::HiveReport report = machine::CheckHive(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(report.refusal, ERROR_BADDB);
    if (c.badLine) {
        EXPECT_EQ(report.badLine, c.badLine) << report.problem;
    }
    EXPECT_FALSE(report.problem.empty());

    std::string text;
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "PortName", &text),
              c.portReadable ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    if (c.portReadable) {
        EXPECT_EQ(text, std::string("COM3\0", 5));
    }
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kept", "Value", &text),
              c.keptReadable ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);

    // Every kind of change is refused and the file stays byte for byte.
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "v", "x"), ERROR_BADDB);
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(root, "rootValue", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2), ERROR_BADDB);
    if (c.keptReadable) {
        EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kept"), ERROR_BADDB);
        HKEY kept = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kept", 0, KEY_ALL_ACCESS, &kept), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteValueA(kept, "Value"), ERROR_BADDB);
        RegCloseKey(kept);
    }
    RegCloseKey(root);
    EXPECT_EQ(ReadFile(MachineHive()), c.text);

    // Mended by hand, the hive takes changes again.
    WriteFile(MachineHive(), kSoundHive);
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "v", "x"), ERROR_SUCCESS);
}

const std::string kSound(kSoundHive);

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedHive,
    ::testing::Values(
        DamageCase{"garbage", Garbage(), false, false, 0},
        DamageCase{"truncated_in_a_string", kSound.substr(0, kSound.find("COM3") + 2), false, false, 2},
        DamageCase{"truncated_in_a_key_line", kSound.substr(0, kSound.find("Kept")), true, false, 3},
        DamageCase{"a_line_of_prose", std::string(kSoundHive) + "this is no registry line\n", true, true, 5},
        DamageCase{"key_line_without_bracket",
                   "[SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device Parameters\n"
                   "\"PortName\"=sz:\"COM3\"\n[SOFTWARE\\Kept]\n\"Value\"=sz:\"kept\"\n",
                   false, true, 1},
        DamageCase{"empty_key_name", std::string(kSoundHive) + "[SOFTWARE\\\\Twice]\n\"v\"=sz:\"x\"\n", true, true, 5},
        DamageCase{"bad_escape", std::string(kSoundHive) + "\"Bad\"=sz:\"\\q\"\n", true, true, 5},
        DamageCase{"bad_hex_escape", std::string(kSoundHive) + "\"Bad\"=sz:\"\\x4\"\n", true, true, 5},
        DamageCase{"unknown_type", std::string(kSoundHive) + "\"Bad\"=qword:1\n", true, true, 5},
        DamageCase{"dword_too_long", std::string(kSoundHive) + "\"Bad\"=dword:123456789\n", true, true, 5},
        DamageCase{"odd_hex", std::string(kSoundHive) + "\"Bad\"=hex:0,1\n", true, true, 5},
        DamageCase{"text_after_value", std::string(kSoundHive) + "\"Bad\"=sz:\"a\" trailing\n", true, true, 5},
        DamageCase{"value_named_twice", std::string(kSoundHive) + "\"value\"=sz:\"other\"\n", true, true, 5},
        DamageCase{"value_named_twice_far_apart", std::string(kSoundHive) + ManyValues(2000) + "\"VALUE\"=sz:\"o\"\n",
                   true, true, 2005},
        DamageCase{"control_byte_in_string", std::string(kSoundHive) + "\"Bad\"=sz:\"a\x01\"\n", true, true, 5},
        DamageCase{"nul_in_key_line", std::string(kSoundHive) + std::string("[SOFTWARE\\A\0B]\n", 15), true, true,
                   5}),
    [](const ::testing::TestParamInfo<DamageCase> &info) { return std::string(info.param.label); });

TEST_F(HiveFile, ValuesAfterABadKeyLineBelongToNoKey)
{
    WriteFile(MachineHive(), std::string(kSoundHive) + "[SOFTWARE\\Broken\n\"Stray\"=sz:\"x\"\n");
    std::string text;
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kept", "Stray", &text), ERROR_FILE_NOT_FOUND)
        << "not given to the key before the bad line";
}

TEST_F(HiveFile, AnUnreadableHiveReadsAsEmptyAndRefusesChanges)
{
    unlink(MachineHive().c_str()); // the empty hive of a new root
    ASSERT_EQ(mkdir(MachineHive().c_str(), 0755), 0); // a folder where the file belongs
    std::string text;
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, kPortKey, "PortName", &text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "v", "x"), ERROR_CANTREAD);
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).refusal, ERROR_CANTREAD);
    rmdir(MachineHive().c_str());
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "v", "x"), ERROR_SUCCESS);
}

TEST_F(HiveFile, EmptyAndMissingFilesAreEmptyHives)
{
    WriteFile(MachineHive(), "");
    std::string text;
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE", "v", &text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).refusal, 0);
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE", "v", "x"), ERROR_SUCCESS);

    // The registry folder itself gone: made again on the next change.
    for (const char *hive : {machine::kMachineHive, machine::kUserHive}) {
        unlink(machine::HiveFile(hive).c_str());
        unlink((machine::HiveFile(hive) + ".lock").c_str());
    }
    ASSERT_EQ(rmdir(machine::RegistryFolder().c_str()), 0);
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE", "v", &text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE", "v", "y"), ERROR_SUCCESS);
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE", "v", &text), ERROR_SUCCESS);
}

TEST_F(HiveFile, FollowsAnEditMadeInPlace)
{
    ASSERT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Edited", "v", "before"), ERROR_SUCCESS);
    std::string text;
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Edited", "v", &text), ERROR_SUCCESS);
    // An editor that writes into the same file: the inode stays, the size changes.
    std::string hive = ReadFile(MachineHive());
    size_t at = hive.find("before");
    ASSERT_NE(at, std::string::npos);
    hive.replace(at, 6, "after, longer");
    ASSERT_TRUE(testsupport::WriteText(MachineHive(), hive));
    ASSERT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Edited", "v", &text), ERROR_SUCCESS);
    EXPECT_EQ(text, std::string("after, longer\0", 14));
}

} // namespace
