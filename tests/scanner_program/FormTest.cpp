// The main form and the log form as their resources make them: every
// component where it belongs, with its font, flags and tab order; the debug
// buttons never visible; and pictures of the main form in English and
// Chinese, in each status, under <build>/pictures/scanner_program_test.
#include <gtest/gtest.h>

#include <filesystem>

#include "Debug_form.h"
#include "ScannerRun.h"

namespace scanner_program_test {
namespace {

using FormTest = ScannerRunTest;

struct Placed {
    TControl *control;
    int left, top, width, height; // a size of 0: the control sizes itself to its text
};

void ExpectBounds(const Placed &p)
{
    SCOPED_TRACE(p.control->Name().str());
    EXPECT_EQ(p.control->Left(), p.left);
    EXPECT_EQ(p.control->Top(), p.top);
    if (p.width > 0) {
        EXPECT_EQ(p.control->Width(), p.width);
        EXPECT_EQ(p.control->Height(), p.height);
    }
}

void ExpectFont(TControl *control, const char *name, int height, bool bold)
{
    SCOPED_TRACE(control->Name().str());
    EXPECT_EQ(control->Font()->Name().str(), name);
    EXPECT_EQ(control->Font()->Height(), -height);
    EXPECT_EQ(control->Font()->Style().Contains(fsBold), bold);
}

TEST_F(FormTest, MainFormAsItsResourceMakesIt)
{
    StartScanner();
    TMainForm *form = Form();
    EXPECT_EQ(form->BorderStyle(), bsToolWindow);
    EXPECT_EQ(form->ClientWidth(), 426);
    EXPECT_EQ(form->ClientHeight(), 345);
    EXPECT_EQ(form->Position(), poScreenCenter);
    ExpectFont(form, "MS Sans Serif", 11, false);

    for (const Placed &p : {Placed{form->CloseBut, 153, 288, 119, 41}, Placed{form->Panel1, 27, 32, 372, 57},
                            Placed{form->Panel2, 5, 5, 362, 47}, Placed{form->ScanBut, 92, 104, 243, 57},
                            Placed{form->DestBut, 92, 168, 243, 57}, Placed{form->DestLabel, 27, 248, 0, 0},
                            Placed{form->Image1, 0, 0, 426, 345}, Placed{form->DestEdit, 144, 244, 257, 21},
                            Placed{form->ShowLog, 0, 320, 75, 25}, Placed{form->Button1, 72, 320, 75, 25},
                            Placed{form->Button2, 144, 320, 75, 25}})
        ExpectBounds(p);
    EXPECT_EQ(form->Panel2->Parent(), form->Panel1);
    EXPECT_EQ(form->MsgLabel->Parent(), form->Panel2);
    EXPECT_EQ(form->Panel1->BorderWidth(), 4);
    EXPECT_EQ(form->Panel2->Color(), clWhite);
    EXPECT_EQ(form->MsgLabel->Alignment(), taCenter);
    ExpectFont(form->MsgLabel, "Lucida Sans", 13, true);
    EXPECT_EQ(form->MsgLabel->Font()->Charset(), ANSI_CHARSET);
    for (TBitBtn *button : {form->CloseBut, form->ScanBut, form->DestBut}) {
        ExpectFont(button, "MS Sans Serif", 16, true);
        EXPECT_EQ(button->Spacing(), 10);
        EXPECT_FALSE(button->Glyph().isNull()) << button->Name().str();
    }
    ExpectFont(form->DestLabel, "MS Sans Serif", 11, true);
    EXPECT_TRUE(form->DestLabel->Transparent());
    EXPECT_TRUE(form->DestLabel->AutoSize());
    EXPECT_TRUE(form->Image1->Stretch());
    EXPECT_EQ(form->Image1->Align(), alClient);
    EXPECT_TRUE(form->DestEdit->ReadOnly());
    EXPECT_EQ(form->CheckMsgTimer->Interval(), 500);
    EXPECT_EQ(form->ShowLog->Caption().str(), "ShowLog");
    EXPECT_EQ(form->Button1->Caption().str(), "FlushDebug");
    EXPECT_EQ(form->Button2->Caption().str(), "Mark");

    const TWinControl *order[] = {form->CloseBut, form->Panel1, form->ScanBut, form->DestBut,
                                  form->DestEdit, form->ShowLog, form->Button1, form->Button2};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(order[i]->TabOrder(), i) << order[i]->Name().str();

    // After start: captions from the table, Scan disabled, the timer on,
    // the debug buttons hidden.
    EXPECT_EQ(form->Caption().str(), "Scanner");
    EXPECT_FALSE(form->ScanBut->Enabled());
    EXPECT_TRUE(form->CheckMsgTimer->Enabled());
    EXPECT_FALSE(form->ShowLog->Visible());
    EXPECT_FALSE(form->Button1->Visible());
    EXPECT_FALSE(form->Button2->Visible());
}

TEST_F(FormTest, LogFormIsMadeHiddenAndStaysEmpty)
{
    StartScanner();
    ASSERT_NE(DebugForm, nullptr);
    EXPECT_FALSE(DebugForm->Visible());
    EXPECT_EQ(DebugForm->Caption().str(), "DebugForm");
    for (const Placed &p : {Placed{DebugForm, 735, 32, 485, 553}, Placed{DebugForm->LogMemo, 32, 16, 417, 449},
                            Placed{DebugForm->Button1, 88, 480, 75, 25}, Placed{DebugForm->Button2, 192, 480, 75, 25},
                            Placed{DebugForm->Button3, 296, 480, 75, 25}})
        ExpectBounds(p);
    EXPECT_EQ(DebugForm->LogMemo->ScrollBars(), ssBoth);
    EXPECT_EQ(DebugForm->Button1->Caption().str(), "Close");
    EXPECT_EQ(DebugForm->Button2->Caption().str(), "Clear");
    EXPECT_EQ(DebugForm->Button3->Caption().str(), "Copy");

    // The log operations write nothing.
    DebugLog("a line");
    FlushDebug();
    EXPECT_EQ(DebugForm->LogMemo->GetText().str(), "");
}

// The box as a status leaves it: its text and the buttons.
struct StatusLook {
    const char *name;
    int id;
    bool scan, destination;
};

const StatusLook kLooks[] = {
    {"loading", 24, false, true},   {"ready", 8, false, true},       {"busy", 10, false, true},
    {"error", 11, false, true},     {"not-connected", 12, false, true}, {"document", 13, true, true},
    {"scanning", 14, false, false}, {"scanned", 15, false, false},  {"power-off", 17, false, true},
    {"scan-failed", 18, false, true}, {"printing", 25, false, true},
};

TEST_F(FormTest, PicturesInEachStatus)
{
    for (int language : {kEnglish, kChinese}) {
        SetLanguage(language);
        StartScanner();
        Form()->CheckMsgTimer->SetEnabled(false); // the pictures show what is set here
        const std::string prefix = language == kChinese ? "main-zh-" : "main-en-";
        for (const StatusLook &look : kLooks) {
            const std::string text = Expected(look.id, language);
            if (text.empty())
                continue; // nothing is shown for it
            Form()->ShowStatus(text);
            Form()->ScanBut->SetEnabled(look.scan);
            Form()->DestBut->SetEnabled(look.destination);
            const std::string path = Picture(prefix + look.name);
            ASSERT_FALSE(path.empty());
            EXPECT_GT(std::filesystem::file_size(path), 1000u) << path;
        }
        CloseScanner();
    }
}

} // namespace
} // namespace scanner_program_test
