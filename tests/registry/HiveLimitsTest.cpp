// Windows' limits on the key tree (512 levels, names of 255 bytes), kept by
// the calls and by the hive files: a file nested far deeper must neither
// crash a reader nor cost time or space with the square of its depth.
#include "RegistryFixture.h"

#include "ChildProcess.h"
#include "machine/Registry.h"
#include "registry/HiveModel.h"
#include "registry/HiveText.h"
#include "winreg.h"

#include <string>

namespace {

// "name\name\...", `levels` names long.
std::string Chain(const std::string &name, int levels)
{
    std::string path;
    for (int i = 0; i < levels; ++i) {
        if (i)
            path += '\\';
        path += name;
    }
    return path;
}

class HiveLimits : public TempRootTest {};

TEST_F(HiveLimits, CreatingRefusesKeysDeeperThan512LevelsAndNamesLongerThan255)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Chain("k", 512).c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string written = ReadFile(machine::HiveFile(machine::kUserHive));

    struct Case {
        HKEY base;
        std::string below;
    };
    HKEY deep = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Chain("k", 500).c_str(), 0, KEY_ALL_ACCESS, &deep), ERROR_SUCCESS);
    const Case refused[] = {
        {HKEY_CURRENT_USER, Chain("k", 513)},
        {HKEY_CURRENT_USER, Chain("other", 513)},
        {deep, Chain("k", 13)}, // the depth counts from the hive's root, not from the handle
        {HKEY_CURRENT_USER, "Software\\" + std::string(256, 'n')},
    };
    for (const Case &c : refused) {
        key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(c.base, c.below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_INVALID_PARAMETER)
            << c.below.size() << " bytes";
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(RegOpenKeyExA(c.base, c.below.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    }
    ASSERT_EQ(RegCreateKeyA(deep, Chain("k", 12).c_str(), &key), ERROR_SUCCESS) << "just within the limit";
    RegCloseKey(key);
    RegCloseKey(deep);
    EXPECT_EQ(ReadFile(machine::HiveFile(machine::kUserHive)), written) << "nothing refused was written";

    // The chain is written as one key line, not as one per level.
    EXPECT_LT(written.size(), 2u * 512 + 1024) << written.substr(0, 2048);
    EXPECT_EQ(machine::CheckHive(HKEY_CURRENT_USER).refusal, 0);
}

TEST_F(HiveLimits, AFileNestedFarBeyondTheLimitIsDamagedYetReadable)
{
    // A few hundred KB: one key path 50,000 levels deep between sound keys.
    const std::string deepLine = "[SOFTWARE\\Deep\\" + Chain("level", 50000) + "]";
    const std::string text = "[SOFTWARE\\Before]\n\"Value\"=sz:\"before\"\n" + deepLine +
                             "\n\"Lost\"=sz:\"x\"\n[SOFTWARE\\After]\n\"Value\"=sz:\"after\"\n[" +
                             Chain("at512", 512) + "]\n\"Value\"=sz:\"deepest\"\n";
    ASSERT_GT(text.size(), 250000u);
    WriteFile(MachineHive(), text);

    const machine::HiveReport report = machine::CheckHive(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(report.refusal, ERROR_BADDB);
    EXPECT_EQ(report.badLine, 3);
    EXPECT_NE(report.problem.find("512"), std::string::npos) << report.problem;

    std::string value;
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Before", "Value", &value), ERROR_SUCCESS);
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\After", "Value", &value), ERROR_SUCCESS);
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, Chain("at512", 512), "Value", &value), ERROR_SUCCESS);
    EXPECT_EQ(value, std::string("deepest\0", 8));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Deep", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
        << "the line that went too deep makes no key";

    // Changes are refused, so nothing of the file is written away.
    EXPECT_EQ(SetStringAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Before", "Other", "x"), ERROR_BADDB);
    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\After"), ERROR_BADDB);
    EXPECT_EQ(ReadFile(MachineHive()), text);

    // Another program that reads the whole registry gets through it too.
    const testsupport::RunResult listed = testsupport::RunProgram({REG_TOOL_PATH, "query", "HKLM", "/s"});
    EXPECT_EQ(listed.code, 0) << listed.err;
    EXPECT_NE(listed.out.find("deepest"), std::string::npos);

    // A key name over 255 bytes in the file is damage as well.
    WriteFile(MachineHive(), "[SOFTWARE\\Kept]\n\"Value\"=sz:\"kept\"\n[SOFTWARE\\" + std::string(256, 'n') + "]\n");
    EXPECT_EQ(machine::CheckHive(HKEY_LOCAL_MACHINE).badLine, 3);
    EXPECT_EQ(QueryValueAt(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kept", "Value", &value), ERROR_SUCCESS);
}

TEST(HiveTree, ADeepTreeIsWrittenAndTornDownWithoutRecursion)
{
    // Far deeper than a stack of nested calls would survive.
    const int levels = 200000;
    std::string text;
    {
        registry::Hive hive;
        registry::Key *at = &hive.root;
        for (int i = 0; i < levels; ++i)
            at = at->AddChild("k");
        at->SetValue("v", REG_SZ, std::string("x\0", 2));
        text = registry::WriteHive(hive);
    } // torn down here
    EXPECT_LT(text.size(), 2u * levels + 1024) << "one line for the chain, not one per level";
    EXPECT_EQ(registry::ParseHive(text).refusal, ERROR_BADDB);
}

} // namespace
