// Labels: automatic size line by line and the edge each alignment keeps, in
// English and Chinese; word wrap; the mouse events of every button as the
// form pilot works them.

#include <string>
#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QRawFont>

#include <gtest/gtest.h>

#include "Form.h"
#include "FormPilot.h"
#include "FormsTestSupport.h"
#include "Label.h"

namespace {

using classlib_testing::TFormPilot;

class Labels : public formstest::FormsTest {
protected:
    void SetUp() override
    {
        formstest::FormsTest::SetUp();
        Form = new TForm(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetClientWidth(400);
        Form->SetClientHeight(300);
        Label = new TLabel(Form);
        Label->SetName("Label1");
        Label->SetParent(Form);
        Label->SetBounds(100, 50, 10, 10);
        Label->Font()->SetName("Arial");
        Label->Font()->SetHeight(-16);
    }

    QFontMetrics Metrics() const { return QFontMetrics(Label->Font()->ToQFont()); }
    int Advance(const char *utf8) const { return Metrics().horizontalAdvance(QString::fromUtf8(utf8)); }

    TForm *Form = nullptr;
    TLabel *Label = nullptr;
};

TEST_F(Labels, AutoSizeTakesTheTextsSizeLineByLine)
{
    Label->SetCaption("Scanner ready.");
    const int lineHeight = Label->Height();
    EXPECT_EQ(lineHeight, Metrics().height());
    EXPECT_EQ(Label->Width(), Advance("Scanner ready."));

    Label->SetCaption("Scanner ready.\r\nPlease insert a document(s) to be scanned.");
    EXPECT_EQ(Label->Height(), 2 * lineHeight);
    EXPECT_EQ(Label->Width(), Advance("Please insert a document(s) to be scanned."));
    EXPECT_EQ(Label->ShownLines().size(), 2);

    // A lone "\r" breaks a line too; an empty caption keeps one line.
    Label->SetCaption("a\rb\r\nc");
    EXPECT_EQ(Label->Height(), 3 * lineHeight);
    Label->SetCaption("");
    EXPECT_EQ(Label->Height(), lineHeight);
    EXPECT_EQ(Label->Width(), Advance(" "));

    // A bigger font grows it; without AutoSize the size stays.
    Label->SetCaption("Exit");
    const int small = Label->Width();
    Label->Font()->SetSize(14);
    EXPECT_GT(Label->Width(), small);
    Label->SetAutoSize(false);
    Label->SetBounds(100, 50, 20, 5);
    Label->SetCaption("A much longer caption");
    EXPECT_EQ(Label->BoundsRect(), QRect(100, 50, 20, 5));
}

TEST_F(Labels, ARightAlignedLabelKeepsItsRightEdgeOthersTheirLeft)
{
    struct Case {
        TAlignment alignment;
        bool keepsRight;
    } cases[] = {{taLeftJustify, false}, {taCenter, false}, {taRightJustify, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.alignment);
        Label->SetAlignment(c.alignment);
        Label->SetCaption("Menu");
        const int left = Label->Left(), right = Label->Left() + Label->Width();
        Label->SetCaption("Menu\r\nand a longer second line");
        Label->Font()->SetSize(14);
        if (c.keepsRight) {
            EXPECT_EQ(Label->Left() + Label->Width(), right);
            EXPECT_LT(Label->Left(), left);
        } else {
            EXPECT_EQ(Label->Left(), left);
        }
        Label->Font()->SetSize(12);
        Label->SetCaption("x");
    }
}

TEST_F(Labels, ChineseCaptionsTakeTheChineseFontsWidths)
{
    SetLanguage("2052");
    // "扫描设备准备就绪" and "请插入要扫描的文稿." in GB2312, as the
    // programs' message tables hold them.
    const std::string first = "\xC9\xA8\xC3\xE8\xC9\xE8\xB1\xB8\xD7\xBC\xB1\xB8\xBE\xCD\xD0\xF7";
    const std::string second = "\xC7\xEB\xB2\xE5\xC8\xEB\xD2\xAA\xC9\xA8\xC3\xE8\xB5\xC4\xCE\xC4\xB8\xE5.";
    Label->SetAlignment(taRightJustify);
    const int right = Label->Left() + Label->Width();
    Label->SetCaption(AnsiString(first + "\r\n" + second));

    EXPECT_EQ(Label->Height(), 2 * Metrics().height());
    EXPECT_EQ(Label->Width(), Advance("请插入要扫描的文稿."));
    EXPECT_EQ(Label->Left() + Label->Width(), right);
    // Each Chinese character is a full em wide in the Chinese font, which
    // the setup script installs and every font falls back on.
    EXPECT_GE(Advance("扫描设备准备就绪"), 8 * 15);
    const QRawFont chinese = QRawFont::fromFont(Label->Font()->ToQFont(), QFontDatabase::SimplifiedChinese);
    EXPECT_EQ(chinese.familyName().toStdString(), "WenQuanYi Micro Hei");
    EXPECT_TRUE(chinese.supportsCharacter(QChar(0x626B)));
    EXPECT_EQ(Label->ShownLines().front().toStdString(), "扫描设备准备就绪");
}

// 8-bit captions read in the code page of the font's character set, as
// Windows draws them: the Chinese sets in their own, any other set in the
// machine's ANSI code page.
TEST_F(Labels, CaptionsReadInTheCodePageOfTheFontsCharacterSet)
{
    const std::string gb2312 = "\xC9\xA8\xC3\xE8"; // "扫描"
    const std::string big5 = "\xB1\xBD\xB4\x79";   // "掃描"
    struct Case {
        const char *machine;
        TFontCharset charset;
        std::string bytes;
        const char *shown;
    } cases[] = {
        {"1033", ANSI_CHARSET, gb2312, "É¨Ãè"},
        {"1033", DEFAULT_CHARSET, gb2312, "É¨Ãè"},
        {"1033", GB2312_CHARSET, gb2312, "扫描"},
        {"1036", GB2312_CHARSET, gb2312, "扫描"},
        {"1033", CHINESEBIG5_CHARSET, big5, "掃描"},
        {"2052", ANSI_CHARSET, gb2312, "扫描"},
        {"2052", GB2312_CHARSET, gb2312, "扫描"},
        {"2052", RUSSIAN_CHARSET, gb2312, "扫描"},
        {"1033", GB2312_CHARSET, "Caf\xE9", "Caf?"}, // a lead byte without its second
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.machine) + " " + std::to_string(c.charset));
        SetLanguage(c.machine);
        Label->Font()->SetCharset(c.charset);
        Label->SetCaption(AnsiString(c.bytes));
        EXPECT_EQ(Label->ShownLines().join(QLatin1Char('\n')).toStdString(), c.shown);
        EXPECT_EQ(Label->Width(), Advance(c.shown));
    }
}

TEST_F(Labels, WindowsFontsMapOntoInstalledMetricTwins)
{
    const QStringList installed = QFontDatabase::families();
    struct Case {
        const char *windowsName;
        const char *family;
    } cases[] = {{"Arial", "Liberation Sans"},
                 {"MS Sans Serif", "Liberation Sans"},
                 {"Lucida Sans", "DejaVu Sans"},
                 {"Times New Roman", "Liberation Serif"},
                 {"SimSun", "WenQuanYi Micro Hei"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.windowsName);
        const QStringList families = TFont::FamiliesFor(c.windowsName, DEFAULT_CHARSET);
        EXPECT_EQ(families.front().toStdString(), c.family);
        EXPECT_TRUE(installed.contains(QString::fromLatin1(c.family))) << "not installed";
    }
    EXPECT_EQ(TFont::FamiliesFor("Arial", GB2312_CHARSET).front().toStdString(), "WenQuanYi Micro Hei");
}

TEST_F(Labels, WordWrapBreaksLinesToTheWidthAtSpaces)
{
    Label->SetAutoSize(false);
    Label->SetWordWrap(true);
    Label->SetAlignment(taCenter);
    Label->SetBounds(52, 192, 200, 113);
    Label->SetCaption("Before to continue the installation, be sure that the USB Fax Machine is unplugged.");
    const QStringList lines = Label->ShownLines();
    EXPECT_GT(lines.size(), 2);
    for (const QString &line : lines) {
        EXPECT_LE(Metrics().horizontalAdvance(line), 200) << line.toStdString();
        EXPECT_FALSE(line.startsWith(QLatin1Char(' '))) << line.toStdString();
    }
    EXPECT_EQ(lines.join(QLatin1Char(' ')).toStdString(),
              "Before to continue the installation, be sure that the USB Fax Machine is unplugged.");
    // A word wider than the label stays whole on its line.
    Label->SetCaption("Uninstallation_of_everything_at_once ok");
    EXPECT_EQ(Label->ShownLines().front().toStdString(), "Uninstallation_of_everything_at_once");
}

// Records a label's mouse events as text.
struct Recorder {
    std::vector<std::string> events;

    static std::string Shift(TShiftState shift)
    {
        std::string text;
        const char *names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
        for (int i = ssShift; i <= ssDouble; ++i)
            if (shift.Contains(static_cast<TShiftStateItem>(i)))
                text += std::string(text.empty() ? "" : "+") + names[i];
        return text;
    }
    void Bind(TLabel *label)
    {
        label->SetOnClick(TNotifyEvent([this](TObject *) { events.push_back("click"); }, nullptr, ""));
        label->SetOnMouseEnter(TNotifyEvent([this](TObject *) { events.push_back("enter"); }, nullptr, ""));
        label->SetOnMouseLeave(TNotifyEvent([this](TObject *) { events.push_back("leave"); }, nullptr, ""));
        auto mouse = [this](const char *what) {
            return TMouseEvent(
                [this, what](TObject *, TMouseButton button, TShiftState shift, int x, int y) {
                    events.push_back(std::string(what) + " " + "LRM"[button] + " [" + Shift(shift) + "] " +
                                     std::to_string(x) + "," + std::to_string(y));
                },
                nullptr, "");
        };
        label->SetOnMouseDown(mouse("down"));
        label->SetOnMouseUp(mouse("up"));
    }
};

using Events = std::vector<std::string>;

TEST_F(Labels, EveryMouseButtonRaisesDownAndUpOnlyTheLeftOneClicks)
{
    Label->SetCaption("Install Drivers");
    Label->SetBounds(100, 50, 120, 20);
    Label->SetAutoSize(false);
    Recorder recorder;
    recorder.Bind(Label);
    TFormPilot pilot;

    pilot.MoveTo(Label, 10, 5);
    struct Case {
        TMouseButton button;
        const char *held;
        Events more;
    } cases[] = {{mbLeft, "Left", {"click"}}, {mbRight, "Right", {}}, {mbMiddle, "Middle", {}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.held);
        recorder.events.clear();
        pilot.Press(c.button, TShiftState() << ssShift);
        pilot.Release(c.button, TShiftState() << ssShift);
        Events expected = {std::string("down ") + "LRM"[c.button] + " [Shift+" + c.held + "] 10,5"};
        expected.insert(expected.end(), c.more.begin(), c.more.end());
        expected.push_back(std::string("up ") + "LRM"[c.button] + " [Shift] 10,5");
        EXPECT_EQ(recorder.events, expected);
    }
}

TEST_F(Labels, ThePointerEntersAndLeavesAlsoWhileAButtonIsHeld)
{
    Label->SetCaption("Continue");
    Recorder recorder;
    recorder.Bind(Label);
    TFormPilot pilot;

    pilot.MoveTo(Label);
    pilot.MoveTo(Label, 1, 1);
    pilot.MoveOut(Label);
    EXPECT_EQ(recorder.events, (Events{"enter", "leave"}));

    // Pressed on the label, then out: it leaves at once; the release goes
    // to the label that has the mouse, outside it, so no click.
    recorder.events.clear();
    pilot.MoveTo(Label, 2, 3);
    pilot.Press(mbLeft);
    pilot.MoveOut(Label);
    pilot.Release(mbLeft);
    EXPECT_EQ(recorder.events, (Events{"enter", "down L [Left] 2,3", "leave", "up L [] -1,-1"}));

    // Back in with the button held: it enters again, and the release
    // inside clicks.
    recorder.events.clear();
    pilot.MoveTo(Label, 2, 3);
    pilot.Press(mbLeft);
    pilot.MoveOut(Label);
    pilot.MoveTo(Label, 4, 4);
    pilot.Release(mbLeft);
    EXPECT_EQ(recorder.events,
              (Events{"enter", "down L [Left] 2,3", "leave", "enter", "click", "up L [] 4,4"}));
}

TEST_F(Labels, AHiddenLabelGetsNoMouseEventsTheControlBelowDoes)
{
    Label->SetCaption("Exit");
    Label->SetBounds(100, 50, 60, 20);
    Label->SetAutoSize(false);
    auto *below = new TLabel(Form);
    below->SetParent(Form);
    below->SetAutoSize(false);
    below->SetBounds(90, 40, 100, 50);
    below->SendToBack();
    Recorder onTop, under;
    onTop.Bind(Label);
    under.Bind(below);
    TFormPilot pilot;

    pilot.Click(Label);
    EXPECT_EQ(onTop.events, (Events{"enter", "down L [Left] 30,10", "click", "up L [] 30,10"}));
    EXPECT_TRUE(under.events.empty());
    Label->Hide();
    pilot.Click(Label, mbRight);
    EXPECT_EQ(under.events, (Events{"enter", "down R [Right] 40,20", "up R [] 40,20"}));
}

} // namespace
