// HKEY_CLASSES_ROOT: the user's classes over the machine's, new keys made
// in the machine's.
#include "RegistryFixture.h"

namespace {

class ClassesRoot : public TempRootTest {
protected:
    static std::string DefaultOf(HKEY root, const char *key)
    {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return "(no key)";
        char value[64] = {};
        DWORD size = sizeof value - 1;
        const LONG result = RegQueryValueExA(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(value), &size);
        RegCloseKey(handle);
        return result == ERROR_SUCCESS ? value : "(no value)";
    }

    static void SetDefault(HKEY root, const char *key, const std::string &text)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyA(root, key, &handle), ERROR_SUCCESS) << key;
        ASSERT_EQ(SetString(handle, "", text), ERROR_SUCCESS);
        RegCloseKey(handle);
    }
};

TEST_F(ClassesRoot, TheUsersClassesComeBeforeTheMachines)
{
    SetDefault(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.both", "machine");
    SetDefault(HKEY_CURRENT_USER, "Software\\Classes\\.both", "user");
    SetDefault(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.machine", "machine only");
    EXPECT_EQ(DefaultOf(HKEY_CLASSES_ROOT, ".both"), "user");
    EXPECT_EQ(DefaultOf(HKEY_CLASSES_ROOT, ".BOTH"), "user");
    EXPECT_EQ(DefaultOf(HKEY_CLASSES_ROOT, ".machine"), "machine only");
    EXPECT_EQ(DefaultOf(HKEY_CLASSES_ROOT, ".none"), "(no key)");

    // A change through the view goes where the key was found.
    SetDefault(HKEY_CLASSES_ROOT, ".both", "user, changed");
    EXPECT_EQ(DefaultOf(HKEY_CURRENT_USER, "Software\\Classes\\.both"), "user, changed");
    EXPECT_EQ(DefaultOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.both"), "machine");

    // Without the user's key the machine's shows again.
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".both"), ERROR_SUCCESS);
    EXPECT_EQ(DefaultOf(HKEY_CLASSES_ROOT, ".both"), "machine");
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ""), ERROR_ACCESS_DENIED) << "the view itself stays";
}

TEST_F(ClassesRoot, NewKeysAreTheMachines)
{
    SetDefault(HKEY_CLASSES_ROOT, "New.Class\\shell\\open\\command", "x.exe \"%1\"");
    EXPECT_EQ(DefaultOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\New.Class\\shell\\open\\command"), "x.exe \"%1\"");
    EXPECT_EQ(DefaultOf(HKEY_CURRENT_USER, "Software\\Classes\\New.Class"), "(no key)");
}

} // namespace
