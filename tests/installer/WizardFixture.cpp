#include "WizardFixture.h"

#include "windows.h"

#include "Application.h"
#include "Choose_folder.h"
#include "Lang_text.h"
#include "Message.h"

namespace installer_test {

AnsiString Text(int id, int language) { return LangText(static_cast<unsigned char>(id), language); }

WizardTest::WizardTest()
{
    // The install folder follows the machine root's Program Files folder.
    FEnvironment.Set("PROGRAMFILES", "C:\\Program Files");
}

WizardTest::~WizardTest() { Application.Reset(); }

void WizardTest::CreateWizard(int language)
{
    ASSERT_TRUE(FRoot.Made());
    ASSERT_TRUE(testsupport::WriteUiLanguage(std::to_string(language)));
    Application->Initialize();
    Application->SetTitle("Setup");
    Application->CreateForm(&Form2);
    Application->CreateForm(&Message_Form);
    Application->CreateForm(&ChooseFolder_Form);
    ASSERT_NE(Form2, nullptr);
}

void WizardTest::RegisterMonitor(const std::string &name)
{
    const std::string key = std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\") + name;
    HKEY monitor = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &monitor, nullptr),
              ERROR_SUCCESS);
    const char library[] = "orvel_vpnt.dll";
    RegSetValueExA(monitor, "Driver", 0, REG_SZ, reinterpret_cast<const BYTE *>(library), sizeof library);
    RegCloseKey(monitor);
}

} // namespace installer_test
