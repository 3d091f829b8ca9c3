// The class library's message dialogs on Qt's offscreen platform, answered
// by the dialog pilot.

#include <future>
#include <string>
#include <vector>

#include <QApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "DialogPilot.h"
#include "Dialogs.h"
#include "GuiApplication.h"
#include "MessageForm.h"
#include "TempMachineRoot.h"

using classlib_testing::TDialogPilot;
using classlib_testing::TShownDialog;

namespace {

using Captions = std::vector<std::string>;

// A fresh machine root with the language set, and a pilot.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        SetLanguage("1033");
    }
    void TearDown() override { EXPECT_TRUE(Pilot.Problems().empty()) << Pilot.Problems().front(); }

    void SetLanguage(const char *id) { ASSERT_TRUE(testsupport::WriteUiLanguage(id)); }

    const TShownDialog &Only() const
    {
        static const TShownDialog none;
        EXPECT_EQ(Pilot.Shown().size(), 1u);
        return Pilot.Shown().empty() ? none : Pilot.Shown().back();
    }

    // Shows `bytes` in an error box and checks the text the dialog shows.
    void ExpectShownAs(const std::string &bytes, const std::string &shown)
    {
        Pilot.Answer("OK");
        MessageDlg(bytes, mtError, mbOK, 0);
        EXPECT_EQ(Pilot.Shown().back().Text, shown);
        EXPECT_EQ(Pilot.Shown().back().Bytes, bytes);
    }

    TDialogPilot Pilot;

private:
    testsupport::TempMachineRoot FRoot{"dialogs-test"};
};

TEST_F(Dialogs, WarningWithCancelAndRetryReturnsThePressedButtonsResult)
{
    struct Case {
        const char *caption;
        int result;
    } cases[] = {{"Cancel", mrCancel}, {"&Retry", mrRetry}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        Pilot.Answer(c.caption);
        EXPECT_EQ(MessageDlg("Printer busy.", mtWarning, TMsgDlgButtons() << mbCancel << mbRetry, 0), c.result);
        const TShownDialog &shown = Pilot.Shown().back();
        EXPECT_EQ(shown.Title, "Warning");
        EXPECT_EQ(shown.Text, "Printer busy.");
        EXPECT_EQ(shown.Icon, "warning");
        EXPECT_EQ(shown.Kind, mtWarning);
        EXPECT_EQ(shown.Buttons, (Captions{"Cancel", "&Retry"}));
        EXPECT_EQ(shown.Pressed, (Captions{c.caption}));
        EXPECT_EQ(shown.Result, c.result);
    }
    EXPECT_EQ(Pilot.Shown().size(), 2u);
}

TEST_F(Dialogs, EachKindHasItsTitleAndIcon)
{
    struct Case {
        TMsgDlgType kind;
        const char *title;
        const char *icon;
    } cases[] = {
        {mtWarning, "Warning", "warning"},
        {mtError, "Error", "error"},
        {mtInformation, "Information", "information"},
        {mtConfirmation, "Confirm", "confirmation"},
        {mtCustom, nullptr, ""},
    };
    const std::string programTitle = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        Pilot.Answer("OK");
        EXPECT_EQ(MessageDlg("text", c.kind, TMsgDlgButtons() << mbOK, 0), mrOk);
        const TShownDialog &shown = Pilot.Shown().back();
        EXPECT_EQ(shown.Title, c.title ? c.title : programTitle);
        EXPECT_EQ(shown.Icon, c.icon);
    }
}

TEST_F(Dialogs, ButtonsComeInTheClassLibrarysOrderWithItsCaptionsAndResults)
{
    struct Case {
        TMsgDlgBtn button;
        const char *caption;
        int result;
    } cases[] = {
        {mbYes, "&Yes", mrYes},         {mbNo, "&No", mrNo},
        {mbOK, "OK", mrOk},             {mbCancel, "Cancel", mrCancel},
        {mbAbort, "&Abort", mrAbort},   {mbRetry, "&Retry", mrRetry},
        {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},
        {mbNoToAll, "N&o to All", mrNoToAll}, {mbYesToAll, "Yes to &All", mrYesToAll},
    };
    // Asked for in reverse, shown in the class library's order.
    TMsgDlgButtons all = TMsgDlgButtons() << mbHelp;
    Captions inOrder;
    for (const Case &c : cases)
        inOrder.push_back(c.caption);
    inOrder.push_back("&Help");
    for (int i = static_cast<int>(sizeof cases / sizeof cases[0]) - 1; i >= 0; --i)
        all << cases[i].button;

    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        Pilot.Answer(c.caption);
        EXPECT_EQ(MessageDlg("Choose", mtConfirmation, all, 0), c.result);
        EXPECT_EQ(Pilot.Shown().back().Buttons, inOrder);
    }
}

TEST_F(Dialogs, QuestionWithYesAndNoAndErrorWithAbortOnly)
{
    // The question whether to create a folder, and the error that follows
    // when it cannot be created.
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "closed");
        if (escape)
            Pilot.AnswerByEscape();
        else
            Pilot.AnswerByClosing();
        const AnsiString question = "Directory does not exists.\r\nDo you want to create it ?";
        EXPECT_EQ(MessageDlg(question, mtConfirmation, mbYes | mbNo, 0), escape ? mrNo : mrCancel);
        const TShownDialog &shown = Pilot.Shown().back();
        EXPECT_EQ(shown.Title, "Confirm");
        EXPECT_EQ(shown.Icon, "confirmation");
        EXPECT_EQ(shown.Buttons, (Captions{"&Yes", "&No"}));
    }

    // Escape leaves a box with only Abort open; Abort ends it.
    Pilot.AnswerByEscape();
    Pilot.Answer("&Abort");
    EXPECT_EQ(MessageDlg("Creation of the directory failed.", mtError, TMsgDlgButtons() << mbAbort, 0), mrAbort);
    const TShownDialog &shown = Pilot.Shown().back();
    EXPECT_EQ(shown.Title, "Error");
    EXPECT_EQ(shown.Icon, "error");
    EXPECT_EQ(shown.Buttons, (Captions{"&Abort"}));
    EXPECT_EQ(shown.Pressed, (Captions{"Escape", "&Abort"}));
}

TEST_F(Dialogs, HelpLeavesTheDialogOpen)
{
    Pilot.Answer("&Help");
    Pilot.Answer("OK");
    EXPECT_EQ(MessageDlg("text", mtInformation, mbOK | mbHelp, 0), mrOk);
    EXPECT_EQ(Only().Pressed, (Captions{"&Help", "OK"}));
}

TEST_F(Dialogs, ClosingTheWindowAndEscape)
{
    struct Case {
        const char *what;
        TMsgDlgButtons buttons;
        bool escape;
        int result;
    } cases[] = {
        {"close with Cancel and Retry", mbCancel | mbRetry, false, mrCancel},
        {"close with OK only", mbOK, false, mrCancel},
        {"Escape with Cancel and Retry", mbCancel | mbRetry, true, mrCancel},
        {"Escape with Yes and No", mbYes | mbNo, true, mrNo},
        {"Escape with OK only", mbOK, true, mrOk},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.escape)
            Pilot.AnswerByEscape();
        else
            Pilot.AnswerByClosing();
        EXPECT_EQ(MessageDlg("text", mtWarning, c.buttons, 0), c.result);
    }
}

TEST_F(Dialogs, CarriageReturnsAreLineBreaks)
{
    struct Case {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"Fax Printer Waning\r\n\r\nPrinter busy.\r\nPlease check.\r\n\r\nCancel the job or Retry in 5s.",
         "Fax Printer Waning\n\nPrinter busy.\nPlease check.\n\nCancel the job or Retry in 5s."},
        {"one\rtwo", "one\ntwo"},
        {"one\ntwo", "one\ntwo"},
        {"\r\r\n\n", "\n\n\n"},
        {"", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        ExpectShownAs(c.bytes, c.shown);
    }
}

TEST_F(Dialogs, TextIsDecodedInTheSystemsCodePage)
{
    const std::string chinese = "\xCE\xB4\xB7\xA2\xCF\xD6\xB4\xF2\xD3\xA1\xC9\xE8\xB1\xB8.\r\n"
                                "\xC7\xEB\xBC\xEC\xB2\xE9USB\xC1\xAC\xBD\xD3.";
    struct Case {
        const char *language;
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"2052", chinese, "未发现打印设备.\n请检查USB连接."},
        {"2052", "\x80", "€"},
        {"1033", "\x80 Caf\xE9", "€ Café"},
        {"1036", "\xCE\xB4", "Î´"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.language);
        SetLanguage(c.language);
        ExpectShownAs(c.bytes, c.shown);
    }
}

// The dialog made but not shown reads its text again in the code page of
// the character set it is given; shown, it is MessageDlg's dialog.
TEST_F(Dialogs, AMadeDialogReadsItsTextInTheCharacterSetGiven)
{
    const std::string gb2312 = "\xC9\xA8\xC3\xE8\r\n?"; // "扫描", a line break
    struct Case {
        TFontCharset charset;
        std::string shown;
    } cases[] = {{GB2312_CHARSET, "扫描\n?"}, {ANSI_CHARSET, "É¨Ãè\n?"}, {DEFAULT_CHARSET, "É¨Ãè\n?"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.charset);
        TMessageForm *form = CreateMessageDialog(gb2312, mtConfirmation, mbYes | mbNo);
        ASSERT_NE(form, nullptr);
        form->SetCharset(c.charset);
        Pilot.Answer("&No");
        EXPECT_EQ(form->exec(), mrNo);
        delete form;
        EXPECT_EQ(Pilot.Shown().back().Text, c.shown);
        EXPECT_EQ(Pilot.Shown().back().Bytes, gb2312);
        EXPECT_EQ(Pilot.Shown().back().Title, "Confirm");
        EXPECT_EQ(Pilot.Shown().back().Icon, "confirmation");
    }
}

TEST_F(Dialogs, TextEndsAtTheFirstNulByte)
{
    Pilot.Answer("OK");
    MessageDlg(AnsiString("shown\0hidden", 12), mtInformation, mbOK, 0);
    EXPECT_EQ(Only().Text, "shown");
}

TEST_F(Dialogs, SeveralDialogsInARowAreAnsweredInTurn)
{
    Pilot.Answer("&Retry");
    Pilot.Answer("&Retry");
    Pilot.Answer("Cancel");
    std::vector<int> results;
    for (int attempt = 0; attempt < 3; ++attempt)
        results.push_back(MessageDlg("attempt " + IntToStr(attempt), mtWarning, mbCancel | mbRetry, 0));
    Pilot.Answer("OK");
    MessageDlg("done", mtError, mbOK, 0);

    EXPECT_EQ(results, (std::vector<int>{mrRetry, mrRetry, mrCancel}));
    ASSERT_EQ(Pilot.Shown().size(), 4u);
    EXPECT_EQ(Pilot.Shown()[1].Text, "attempt 1");
    EXPECT_EQ(Pilot.Shown()[3].Title, "Error");
    EXPECT_EQ(Pilot.AnswersLeft(), 0u);
}

TEST_F(Dialogs, ShowMessageIsAPlainBoxWithOk)
{
    Pilot.Answer("OK");
    ShowMessage("Please, close the program orvel_printer.exe before to start the Setup.exe");
    const TShownDialog &shown = Only();
    EXPECT_EQ(shown.Text, "Please, close the program orvel_printer.exe before to start the Setup.exe");
    EXPECT_EQ(shown.Buttons, (Captions{"OK"}));
    EXPECT_EQ(shown.Icon, "");
    EXPECT_EQ(shown.Title, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString());
}

TEST_F(Dialogs, NothingIsShownFromAnotherThread)
{
    auto result = std::async(std::launch::async, [] { return MessageDlg("text", mtWarning, mbOK, 0); });
    EXPECT_EQ(result.get(), mrNone);
    auto made = std::async(std::launch::async, [] { return CreateMessageDialog("text", mtWarning, mbOK); });
    EXPECT_EQ(made.get(), nullptr);
    EXPECT_TRUE(Pilot.NoDialogShown());
}

// The pilot itself: it must not let a test hang on a dialog it was not
// told how to answer.
TEST(DialogPilot, ClosesDialogsItHasNoAnswerForAndSaysSo)
{
    TDialogPilot pilot;
    EXPECT_EQ(MessageDlg("unexpected", mtWarning, mbCancel | mbRetry, 0), mrCancel);
    pilot.Answer("&Ignore");
    EXPECT_EQ(MessageDlg("no such button", mtWarning, mbOK, 0), mrCancel);
    ASSERT_EQ(pilot.Problems().size(), 2u);
    EXPECT_NE(pilot.Problems()[0].find("unexpected"), std::string::npos);
    EXPECT_NE(pilot.Problems()[1].find("&Ignore"), std::string::npos);
    EXPECT_EQ(pilot.Shown().size(), 2u);
}

TEST(DialogPilot, MakesTheApplicationOnce)
{
    TDialogPilot pilot;
    QApplication *application = GuiApplication();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(GuiApplication(), application);
    EXPECT_TRUE(pilot.NoDialogShown());
}

} // namespace
