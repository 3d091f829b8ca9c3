// The installer's three forms made as the program makes them, on a fresh
// machine root whose user-interface language a test chooses, and torn down
// with the application object after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Main2.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"

namespace installer_test {

constexpr int kEnglish = 1033;
constexpr int kFrench = 1036;
constexpr int kChinese = 2052;

// The text the table holds for `id` in `language`.
AnsiString Text(int id, int language);

class WizardTest : public testing::Test {
protected:
    WizardTest();
    ~WizardTest() override;

    // Makes the forms with the machine's user-interface language `language`
    // (any id; the wizard picks its language from it).
    void CreateWizard(int language = kEnglish);
    TForm2 *Wizard() const { return Form2; }

    // Registers the port monitor with the spooler, as installing does.
    void RegisterMonitor(const std::string &name = "Scanner-Printer Virtual Port");

    testsupport::TempMachineRoot FRoot{"arv-wizard", testsupport::Layout::Now};
    testsupport::ScopedEnvironment FEnvironment;
};

} // namespace installer_test
