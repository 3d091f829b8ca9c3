// What the form tests share: a fresh machine root with a language, the
// dialog pilot for the exception box, and a fresh application object for
// each test.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "Application.h"
#include "DialogPilot.h"
#include "TempMachineRoot.h"

namespace formstest {

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        SetLanguage("1033");
        Application->Initialize();
    }
    void TearDown() override
    {
        Application.Reset();
        EXPECT_TRUE(Pilot.Problems().empty()) << Pilot.Problems().front();
    }

    void SetLanguage(const char *id) { ASSERT_TRUE(testsupport::WriteUiLanguage(id)); }

    classlib_testing::TDialogPilot Pilot;

private:
    testsupport::TempMachineRoot FRoot{"forms-test"};
};

} // namespace formstest
