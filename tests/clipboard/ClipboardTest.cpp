// The class library's clipboard: 8-bit texts with "\r\n" line breaks on the
// class library's side, Unicode with "\n" on the system's.

#include <string>

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "Clipboard.h"
#include "GuiApplication.h"
#include "TempMachineRoot.h"

namespace {

class ClipboardText : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        ASSERT_TRUE(testsupport::WriteUiLanguage("1033"));
        ASSERT_NE(GuiApplication(), nullptr);
        Clipboard()->Clear();
    }
    static std::string System() { return QGuiApplication::clipboard()->text().toStdString(); }

    testsupport::TempMachineRoot FRoot{"clipboard-test"};
};

TEST_F(ClipboardText, LineBreaksAreTheSystemsOnItsClipboard)
{
    struct Case {
        std::string text;
        std::string onSystem;
        std::string back;
    } cases[] = {
        {"one\r\ntwo", "one\ntwo", "one\r\ntwo"},
        {"one\rtwo", "one\ntwo", "one\r\ntwo"},
        {"one\ntwo\r\n", "one\ntwo\n", "one\r\ntwo\r\n"},
        {"plain", "plain", "plain"},
        {std::string("cut\0here", 8), "cut", "cut"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Clipboard()->SetAsText(c.text);
        EXPECT_EQ(System(), c.onSystem);
        EXPECT_EQ(Clipboard()->AsText(), c.back);
        EXPECT_TRUE(Clipboard()->HasText());
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("from\nelsewhere"));
    EXPECT_EQ(Clipboard()->AsText(), "from\r\nelsewhere");
}

TEST_F(ClipboardText, TextsAreInTheSystemsCodePage)
{
    ASSERT_TRUE(testsupport::WriteUiLanguage("2052"));
    const std::string gb2312 = "\xC9\xA8\xC3\xE8"; // 扫描
    Clipboard()->SetAsText(gb2312);
    EXPECT_EQ(System(), "扫描");
    EXPECT_EQ(Clipboard()->AsText(), gb2312);

    ASSERT_TRUE(testsupport::WriteUiLanguage("1033"));
    Clipboard()->SetAsText("Caf\xE9");
    EXPECT_EQ(System(), "Café");
}

TEST_F(ClipboardText, BuffersAndClearing)
{
    Clipboard()->SetTextBuf("buffer\r\ntext");
    char buffer[8];
    EXPECT_EQ(Clipboard()->GetTextBuf(buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "buffer\r");
    EXPECT_EQ(Clipboard()->GetTextBuf(buffer, 1), 0);
    EXPECT_STREQ(buffer, "");

    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasText());
    EXPECT_EQ(Clipboard()->AsText(), "");
    Clipboard()->SetTextBuf("again");
    Clipboard()->SetTextBuf(nullptr);
    EXPECT_EQ(Clipboard()->AsText(), "");
    EXPECT_EQ(Clipboard(), Clipboard()) << "one clipboard object";
}

} // namespace
