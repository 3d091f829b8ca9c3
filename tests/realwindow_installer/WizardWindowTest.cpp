// The installer's wizard as a person meets it: the program from the install
// media started as a process on a machine root of the test's own (the media
// in drive D:), in a real X window with and without a window manager,
// clicked and typed at through X input, and looked at in screenshots.
//
// Which page shows is read from the window's pixels: each label button
// draws its text in the normal (dark blue) or the pending (light blue)
// colour, or is hidden, and the pages differ in which of them show how.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <QColor>
#include <QImage>
#include <QRect>

#include "DeviceHarness.h"
#include "TempMachineRoot.h"
#include "XSession.h"
#include "machine/Drives.h"

namespace {

using testsupport::WindowManager;
using testsupport::XSession;
using testsupport::XWindow;

// ---- Where things are ---------------------------------------------------------

// The wizard's components lie in its panel, whose area starts inside the
// panel's 2-pixel edge.
constexpr int kEdge = 2;

struct Place {
    int left, top;
};

// Left and top of the labels in the panel, as the form places them.
constexpr Place kChap[4] = {{104, 130}, {104, 180}, {104, 230}, {104, 280}};
constexpr Place kContinue = {221, 336};
constexpr Place kExit2 = {272, 304};
constexpr Place kBrowse = {395, 263};
constexpr Place kImg1 = {52, 130};
constexpr Place kFlagChinese = {200, 408};
// Right-aligned: their right edges and tops.
constexpr Place kExitRight = {547, 9};
constexpr Place kMenuRight = {551, 407};
// A place on the window where no label lies.
constexpr Place kNowhere = {470, 200};

QPoint Point(Place place, int dx = 0, int dy = 0) { return QPoint(kEdge + place.left + dx, kEdge + place.top + dy); }

// Where a label's first letters are, at any of its sizes.
QPoint OnLabel(Place place) { return Point(place, 10, 12); }
QPoint OnRightAligned(Place right) { return Point(right, -12, 8); }

// The band of a label's text line: `width` pixels from its left, the
// middle of its height.
QRect TextBand(Place place, int from = 0, int width = 140) { return QRect(Point(place, from, 3), QSize(width, 20)); }

// ---- What the pixels say ------------------------------------------------------

const QColor kNormal(7, 74, 135);
const QColor kPending(118, 168, 214);

enum class Ink { None, Normal, Pending, Any };

const char *Name(Ink ink)
{
    switch (ink) {
    case Ink::None: return "none";
    case Ink::Normal: return "normal";
    case Ink::Pending: return "pending";
    case Ink::Any: break;
    }
    return "any";
}

int CountNear(const QImage &image, const QRect &region, const QColor &colour)
{
    constexpr int kTolerance = 14;
    int count = 0;
    const QRect inside = region.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= kTolerance &&
                std::abs(pixel.green() - colour.green()) <= kTolerance &&
                std::abs(pixel.blue() - colour.blue()) <= kTolerance)
                ++count;
        }
    return count;
}

// The colour that text in the region is drawn in, if any.
Ink InkIn(const QImage &image, const QRect &region)
{
    constexpr int kSomeText = 12;
    const int normal = CountNear(image, region, kNormal);
    const int pending = CountNear(image, region, kPending);
    if (normal < kSomeText && pending < kSomeText)
        return Ink::None;
    return normal >= pending ? Ink::Normal : Ink::Pending;
}

// How a page shows: the four step labels, Continue and the big Exit.
struct PageLook {
    int page;
    Ink chap[4];
    Ink next;
    Ink exit2;
};

constexpr Ink N = Ink::Normal, P = Ink::Pending, O = Ink::None, A = Ink::Any;

// Texts that are not label buttons (the folder field, the middle text, the
// dots of the wait) may cross a step label's band: there the look says Any.
const PageLook kLooks[] = {
    {0, {N, A, N, A}, O, O},  {1, {N, A, N, A}, N, O},  {3, {O, A, A, A}, N, O},  {4, {N, P, P, P}, P, O},
    {5, {N, N, P, P}, P, O},  {6, {N, N, N, P}, P, O},  {7, {N, N, N, N}, P, O},  {8, {N, N, N, N}, N, O},
    {9, {N, O, N, A}, O, O},  {10, {N, O, N, O}, O, N}, {11, {N, A, A, A}, O, N}, {12, {N, P, P, P}, P, O},
    {13, {N, N, P, P}, P, O}, {14, {N, N, N, P}, P, O}, {15, {N, N, N, N}, P, O}, {16, {N, N, N, N}, N, O},
    {17, {O, A, A, A}, O, N}, {18, {N, A, A, A}, O, N},
};

const PageLook &LookOf(int page)
{
    for (const PageLook &look : kLooks)
        if (look.page == page)
            return look;
    return kLooks[0];
}

bool Matches(Ink want, Ink seen) { return want == Ink::Any || want == seen; }

// What the picture shows, in the terms of a page look.
std::string Describe(const QImage &image)
{
    std::string text = "chap";
    for (const Place &place : kChap)
        text += std::string(" ") + Name(InkIn(image, TextBand(place)));
    text += std::string(", continue ") + Name(InkIn(image, TextBand(kContinue, 0, 90)));
    text += std::string(", exit2 ") + Name(InkIn(image, TextBand(kExit2, 0, 50)));
    return text;
}

bool Shows(const QImage &image, const PageLook &look)
{
    if (image.isNull())
        return false;
    for (int i = 0; i < 4; ++i)
        if (!Matches(look.chap[i], InkIn(image, TextBand(kChap[i]))))
            return false;
    return Matches(look.next, InkIn(image, TextBand(kContinue, 0, 90))) &&
           Matches(look.exit2, InkIn(image, TextBand(kExit2, 0, 50)));
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Looks every 100 ms until `done` holds; false after `boundMs`.
bool WaitFor(const std::function<bool()> &done, int boundMs = testsupport::kXWaitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(100);
    }
    return true;
}

// Waits until `region` of the pictures `shot` takes stays the same over a
// few tenths of a second (nothing is being redrawn there); the last picture
// of it, or a null image when it kept changing for `boundMs`.
QImage WaitSteady(const std::function<QImage()> &shot, const QRect &region, int boundMs = testsupport::kXWaitMs)
{
    QImage before = shot().copy(region);
    QImage now;
    const bool steady = WaitFor(
        [&] {
            Sleep(300);
            now = shot().copy(region);
            const bool same = !now.isNull() && now == before;
            before = now;
            return same;
        },
        boundMs);
    return steady ? now : QImage();
}

// The part of the picture that a look shows in.
QImage Part(const QImage &image, const QRect &region) { return image.copy(region).convertToFormat(QImage::Format_RGB32); }

// ---- The fixture --------------------------------------------------------------

std::string ManagerName(const testing::TestParamInfo<WindowManager> &info)
{
    return info.param == WindowManager::None ? "Bare" : "Openbox";
}

class WizardWindow : public testing::TestWithParam<WindowManager> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        ASSERT_TRUE(session_.Ready()) << session_.Problem();
        ASSERT_TRUE(machine::MountDrive('D', ARV_INSTALL_MEDIA_DIR, DRIVE_CDROM));
    }

    // Starts the wizard from the media on a machine of `language` and
    // waits for its home page.
    void StartWizard(const char *language = "1033")
    {
        ASSERT_TRUE(testsupport::WriteUiLanguage(language));
        wizard_ = session_.Start({std::string(ARV_INSTALL_MEDIA_DIR) + "/setup.exe"});
        ASSERT_GT(wizard_, 0);
        window_ = session_.FindWindow(wizard_, "Setup");
        ASSERT_NE(window_, 0u) << session_.Log(wizard_);
        ASSERT_TRUE(session_.WaitPainted(window_)) << session_.Log(wizard_);
        ASSERT_TRUE(MoveTo(Point(kNowhere)));
        ASSERT_TRUE(WaitForPage(0));
    }

    QImage Shot() { return session_.Grab(window_); }
    // The window's picture once it has rested a moment (a label left by
    // the pointer has shrunk back); a null image when it kept changing.
    QImage SteadyShot()
    {
        return WaitSteady([&] { return Shot(); }, QRect(QPoint(0, 0), Shot().size()));
    }
    bool MoveTo(QPoint at) { return session_.MoveTo(window_, at.x(), at.y()); }
    bool ClickAt(QPoint at) { return MoveTo(at) && session_.Click(); }

    // Waits until the window shows the page; a screenshot and what the
    // pixels said when it does not.
    testing::AssertionResult WaitForPage(int page, int boundMs = testsupport::kXWaitMs)
    {
        if (WaitFor([&] { return Shows(Shot(), LookOf(page)); }, boundMs))
            return testing::AssertionSuccess();
        const std::string path = session_.Screenshot(window_, "not-page" + std::to_string(page));
        return testing::AssertionFailure() << "page " << page << " did not show: " << Describe(Shot()) << " ("
                                           << path << ")\n"
                                           << session_.Log(wizard_);
    }

    // Answers the question whether to make the install folder with Yes.
    void AnswerYes(const std::string &picture)
    {
        const XWindow question = session_.FindWindow(wizard_, "Confirm");
        ASSERT_NE(question, 0u) << session_.Log(wizard_);
        ASSERT_TRUE(session_.WaitPainted(question));
        EXPECT_FALSE(session_.Screenshot(question, picture).empty());
        ASSERT_TRUE(session_.Activate(question));
        ASSERT_TRUE(session_.Key("Return"));
        ASSERT_TRUE(session_.WaitUnmapped(question));
    }

    // Home page, Install Drivers, the folder made, the install run: page 8.
    void InstallThroughClicks()
    {
        ASSERT_TRUE(ClickAt(OnLabel(kChap[0])));
        ASSERT_TRUE(WaitForPage(1));
        EXPECT_FALSE(session_.Screenshot(window_, "page01").empty());
        ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
        AnswerYes("question");
        ASSERT_TRUE(WaitForPage(3));
        EXPECT_FALSE(session_.Screenshot(window_, "page03").empty());
        ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
        ASSERT_TRUE(MoveTo(Point(kNowhere)));
        ASSERT_TRUE(WaitForPage(8, 120000));
        EXPECT_FALSE(session_.Screenshot(window_, "page08").empty());
        EXPECT_TRUE(Installed());
    }

    // Continue on page 8: the wait for the device, its dots cycling.
    void WaitForTheDevice()
    {
        ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
        ASSERT_TRUE(MoveTo(Point(kNowhere)));
        ASSERT_TRUE(WaitForPage(9));
        // The dots: LChap4 shows one to four of them, one more a second.
        ASSERT_TRUE(WaitFor([&] { return InkIn(Shot(), TextBand(kChap[3], 0, 12)) == Ink::Normal; }));
        EXPECT_FALSE(session_.Screenshot(window_, "page09").empty());
    }

    std::string InstallFolder() const { return root_.Path() + "/drives/c/Program Files/Veltrona/Norvik"; }
    bool Installed() const { return std::filesystem::exists(InstallFolder() + "/orvel_printer.exe"); }

    // Exit2 on the closing page ends the program.
    void ExitThroughExit2()
    {
        ASSERT_TRUE(ClickAt(OnLabel(kExit2)));
        bool timedOut = false;
        EXPECT_EQ(session_.WaitForExit(wizard_, testsupport::kXWaitMs, &timedOut), 0) << session_.Log(wizard_);
        EXPECT_FALSE(timedOut);
    }

    testsupport::TempMachineRoot root_{"arv-wizard-window", testsupport::Layout::Now};
    XSession session_{GetParam()};
    pid_t wizard_ = -1;
    XWindow window_ = 0;
};

// ---- Install and uninstall ----------------------------------------------------

TEST_P(WizardWindow, InstallFindTheDeviceAndUninstallThroughClicks)
{
    StartWizard();
    EXPECT_FALSE(session_.Screenshot(window_, "page00").empty());
    InstallThroughClicks();
    WaitForTheDevice();

    {
        standin::DeviceProcess device;
        ASSERT_TRUE(device.Started()) << device.Error();
        ASSERT_TRUE(WaitForPage(10));
        EXPECT_FALSE(session_.Screenshot(window_, "page10").empty());
    }

    // Menu, then Uninstall Drivers, which the home page now offers.
    ASSERT_TRUE(ClickAt(OnRightAligned(kMenuRight)));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    ASSERT_TRUE(WaitFor([&] { return Shows(Shot(), {0, {N, N, N, O}, O, O}); })) << Describe(Shot());
    ASSERT_TRUE(ClickAt(OnLabel(kChap[1])));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    ASSERT_TRUE(WaitForPage(16, 120000));
    EXPECT_FALSE(session_.Screenshot(window_, "page16").empty());
    EXPECT_FALSE(Installed());

    ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
    ASSERT_TRUE(WaitForPage(17));
    EXPECT_FALSE(session_.Screenshot(window_, "page17").empty());
    ExitThroughExit2();
}

// The wait for the device goes on behind the home page; an uninstall run
// started from there is not broken into by the device plugged in during
// it: no page 10, no dots in place of the last step's caption, and the run
// ends on its own page.
TEST_P(WizardWindow, ADevicePluggedInDuringALaterRunLeavesTheRunAlone)
{
    StartWizard();
    InstallThroughClicks();
    WaitForTheDevice();
    ASSERT_TRUE(ClickAt(OnRightAligned(kMenuRight)));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    ASSERT_TRUE(WaitFor([&] { return Shows(Shot(), {0, {N, N, N, A}, O, O}); })) << Describe(Shot());
    // The wait goes on behind the home page: its dots show there.
    EXPECT_TRUE(WaitFor([&] { return InkIn(Shot(), TextBand(kChap[3], 0, 12)) == Ink::Normal; }));
    EXPECT_FALSE(session_.Screenshot(window_, "page00-waiting").empty());
    ASSERT_TRUE(ClickAt(OnLabel(kChap[1])));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));

    // Plugged in once page 13 shows: step 1, which warns of a plugged
    // device, has run.
    ASSERT_TRUE(WaitForPage(13));
    standin::DeviceProcess device;
    ASSERT_TRUE(device.Started()) << device.Error();
    bool brokenInto = false;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QImage shot = Shot();
            // The big Exit shows only on pages 10, 11, 17 and 18.
            if (InkIn(shot, TextBand(kExit2, 0, 50)) != Ink::None)
                brokenInto = true;
            return brokenInto || Shows(shot, LookOf(16));
        },
        120000))
        << Describe(Shot());
    EXPECT_FALSE(brokenInto) << session_.Screenshot(window_, "broken-into");
    EXPECT_FALSE(session_.Screenshot(window_, "page16-device-plugged").empty());
    // The last step's caption, not a few dots: its text reaches far right.
    EXPECT_EQ(InkIn(Shot(), TextBand(kChap[3], 60, 80)), Ink::Normal);
    // Seconds later the page is still the run's own.
    Sleep(2500);
    EXPECT_TRUE(Shows(Shot(), LookOf(16))) << Describe(Shot());
    EXPECT_FALSE(Installed());

    ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
    ASSERT_TRUE(WaitForPage(17));
    ExitThroughExit2();
}

// ---- French captions under the pointer -----------------------------------------------

// The step captions, grown to 20 pt under the pointer on the pages where
// they show, end inside the window's picture: no text reaches its right
// edge.
TEST_P(WizardWindow, FrenchStepCaptionsFitAtTheirLargestSize)
{
    // Quitter, a text button, grows under the pointer and shrinks when the
    // pointer leaves; its grown look shows that the events before its
    // enter have been handled and painted.
    const QRect quit(Point(kExitRight, -150, -6), QSize(154, 34));
    QImage quitRest, quitGrown;
    const auto fitsGrown = [&](int chap, const std::string &picture) {
        // The caption's line, from its left to the window's right edge.
        const QRect line(Point(kChap[chap], 0, -4), QSize(Shot().width(), 34));
        // An enter and a leave leave the caption at 18 pt, whatever it
        // showed before (a caption entered on an earlier page may still be
        // at 20 pt, one clicked may not grow on its first enter).
        EXPECT_TRUE(MoveTo(OnLabel(kChap[chap])));
        EXPECT_TRUE(MoveTo(OnRightAligned(kExitRight)));
        if (quitGrown.isNull())
            EXPECT_TRUE(WaitFor([&] { return (quitGrown = Part(Shot(), quit)) != quitRest; })) << "Quitter";
        else
            EXPECT_TRUE(WaitFor([&] { return Part(Shot(), quit) == quitGrown; })) << "Quitter";
        const QImage rest = Part(Shot(), line);
        EXPECT_TRUE(MoveTo(OnLabel(kChap[chap])));
        // Grown under the pointer: its picture is no longer the 18 pt one.
        QImage grown;
        EXPECT_TRUE(WaitFor([&] { return (grown = Part(Shot(), line)) != rest; })) << picture << " did not grow";
        // The last columns of the window's picture, which a caption cut off
        // at the edge would run through.
        const QRect edge(Point({554, kChap[chap].top}, 0, 2), QSize(5, 24));
        session_.Screenshot(window_, picture);
        EXPECT_EQ(InkIn(Shot(), edge), Ink::None) << picture;
        // Left of the button pictures, off every caption at any size (the
        // usual resting place lies on the second caption grown).
        EXPECT_TRUE(MoveTo(Point({20, 112})));
        EXPECT_TRUE(WaitFor([&] { return Part(Shot(), line) != grown; })) << picture << " did not shrink back";
    };
    StartWizard("1036");
    InstallThroughClicks();
    quitRest = Part(Shot(), quit);
    for (int chap = 0; chap < 4; ++chap)
        fitsGrown(chap, "page08-step" + std::to_string(chap + 1) + "-grown");
    ASSERT_TRUE(ClickAt(OnRightAligned(kExitRight)));
    EXPECT_EQ(session_.WaitForExit(wizard_, testsupport::kXWaitMs), 0);

    StartWizard("1036");
    ASSERT_TRUE(ClickAt(OnLabel(kChap[1])));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    ASSERT_TRUE(WaitForPage(16, 120000));
    quitRest = Part(Shot(), quit);
    quitGrown = QImage();
    for (int chap = 0; chap < 4; ++chap)
        fitsGrown(chap, "page16-step" + std::to_string(chap + 1) + "-grown");
    ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
    ASSERT_TRUE(WaitForPage(17));
    ExitThroughExit2();
}

// ---- Chinese on an English machine ----------------------------------------------

// Two pictures that a person cannot tell apart: the same size, and no pixel
// further than a few levels from its twin (a background redrawn in part
// may differ by a level here and there).
testing::AssertionResult SameLook(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return testing::AssertionFailure() << "sizes differ";
    constexpr int kLevels = 8;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) > kLevels || std::abs(p.green() - q.green()) > kLevels ||
                std::abs(p.blue() - q.blue()) > kLevels)
                ++differing;
        }
    if (differing == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " pixels differ";
}


TEST_P(WizardWindow, TheChineseFlagOnAnEnglishMachineShowsWhatAChineseMachineShows)
{
    struct Run {
        const char *machine;
        bool clickFlag;
        std::vector<QImage> shots;
    } runs[] = {{"1033", true, {}}, {"2052", false, {}}};
    const char *names[] = {"page00", "page01", "question", "page03"};
    for (Run &run : runs) {
        SCOPED_TRACE(run.machine);
        StartWizard(run.machine);
        if (run.clickFlag) {
            // Redrawn in Chinese: the home page's labels change, then rest.
            const QRect labels(Point(kChap[0], 0, -4), QSize(300, kChap[3].top - kChap[0].top + 40));
            const QImage english = Part(Shot(), labels);
            ASSERT_TRUE(ClickAt(Point(kFlagChinese, 12, 8)));
            ASSERT_TRUE(MoveTo(Point(kNowhere)));
            ASSERT_TRUE(WaitFor([&] { return Part(Shot(), labels) != english; })) << "still in English";
        }
        const std::string prefix = std::string(run.machine) + "-chinese-";
        run.shots.push_back(SteadyShot());
        session_.Screenshot(window_, prefix + names[0]);
        ASSERT_TRUE(ClickAt(OnLabel(kChap[0])));
        ASSERT_TRUE(MoveTo(Point(kNowhere)));
        ASSERT_TRUE(WaitForPage(1));
        run.shots.push_back(SteadyShot());
        session_.Screenshot(window_, prefix + names[1]);
        ASSERT_TRUE(ClickAt(OnLabel(kContinue)));
        const XWindow question = session_.FindWindow(wizard_, "Confirm");
        ASSERT_NE(question, 0u) << session_.Log(wizard_);
        ASSERT_TRUE(session_.WaitPainted(question));
        run.shots.push_back(session_.Grab(question));
        session_.Screenshot(question, prefix + names[2]);
        ASSERT_TRUE(session_.Activate(question));
        ASSERT_TRUE(session_.Key("Return"));
        ASSERT_TRUE(session_.WaitUnmapped(question));
        ASSERT_TRUE(MoveTo(Point(kNowhere)));
        ASSERT_TRUE(WaitForPage(3));
        run.shots.push_back(SteadyShot());
        session_.Screenshot(window_, prefix + names[3]);

        ASSERT_TRUE(ClickAt(OnRightAligned(kExitRight)));
        bool timedOut = false;
        EXPECT_EQ(session_.WaitForExit(wizard_, testsupport::kXWaitMs, &timedOut), 0);
        // The next run asks about the folder again.
        std::filesystem::remove_all(root_.Path() + "/drives/c/Program Files/Veltrona");
    }
    for (size_t i = 0; i < runs[0].shots.size() && i < runs[1].shots.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_TRUE(SameLook(runs[0].shots[i], runs[1].shots[i]));
    }
}

// ---- Hover looks ------------------------------------------------------------------

// After Install Drivers was clicked, the home page shows its button picture
// in the hover look again, with the pointer elsewhere.
TEST_P(WizardWindow, InstallDriversKeepsItsHoverLookBackOnTheHomePage)
{
    StartWizard();
    const QRect picture(Point(kImg1), QSize(49, 27));
    const QImage normal = Part(Shot(), picture);
    ASSERT_TRUE(MoveTo(OnLabel(kChap[0])));
    QImage hover;
    ASSERT_TRUE(WaitFor([&] { return (hover = Part(Shot(), picture)) != normal; }));
    session_.Screenshot(window_, "page00-hover");
    ASSERT_TRUE(session_.Click());
    ASSERT_TRUE(WaitForPage(1));
    ASSERT_TRUE(ClickAt(OnRightAligned(kMenuRight)));
    ASSERT_TRUE(WaitForPage(0));
    const QImage back = WaitSteady([&] { return Part(Shot(), picture); }, QRect(QPoint(0, 0), picture.size()));
    session_.Screenshot(window_, "page00-back");
    EXPECT_TRUE(back == hover);
}

// Browse, once the pointer has been over it, rests at 18 pt, also after
// the folder dialog it opened has closed with the pointer elsewhere.
TEST_P(WizardWindow, BrowseRestsAt18PointsAfterTheFolderDialog)
{
    StartWizard();
    ASSERT_TRUE(ClickAt(OnLabel(kChap[0])));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    ASSERT_TRUE(WaitForPage(1));
    const QRect browse(Point(kBrowse, 0, -2), QSize(160, 32));
    const QImage first = Part(Shot(), browse);
    ASSERT_TRUE(MoveTo(OnLabel(kBrowse)));
    QImage grown;
    ASSERT_TRUE(WaitFor([&] { return (grown = Part(Shot(), browse)) != first; }));
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    QImage rest;
    ASSERT_TRUE(WaitFor([&] { return (rest = Part(Shot(), browse)) != grown; }));
    EXPECT_TRUE(rest != first) << "18 pt, not the 14 pt it started at";

    ASSERT_TRUE(ClickAt(OnLabel(kBrowse)));
    const XWindow dialog = session_.FindWindow(wizard_, "Select Directory");
    ASSERT_NE(dialog, 0u) << session_.Log(wizard_);
    ASSERT_TRUE(session_.WaitPainted(dialog));
    // The pointer glides from Browse over the wizard to Cancel, bottom right
    // in the dialog, as a hand moves it, and clicks it: it stays where the
    // button was, over the wizard but not over Browse.
    session_.Screenshot(dialog, "folder-dialog");
    const QRect area = session_.Geometry(dialog);
    const QRect wizardArea = session_.Geometry(window_);
    const QPoint from = wizardArea.topLeft() + OnLabel(kBrowse);
    const QPoint to = area.topLeft() + QPoint(area.width() - 53, area.height() - 22);
    constexpr int kSteps = 12;
    for (int step = 1; step <= kSteps; ++step) {
        const QPoint at = from + (to - from) * step / kSteps;
        ASSERT_TRUE(session_.MoveToScreen(at.x(), at.y()));
        Sleep(20);
    }
    ASSERT_TRUE(session_.Click());
    ASSERT_TRUE(session_.WaitUnmapped(dialog));
    EXPECT_TRUE(WaitFor([&] { return Part(Shot(), browse) == rest; }, 5000));
    session_.Screenshot(window_, "page01-after-browse");

    // Again, the dialog closed with Escape while the pointer rests where
    // Browse was, then the pointer moved away.
    ASSERT_TRUE(ClickAt(OnLabel(kBrowse)));
    const XWindow again = session_.FindWindow(wizard_, "Select Directory");
    ASSERT_NE(again, 0u) << session_.Log(wizard_);
    ASSERT_TRUE(session_.WaitPainted(again));
    ASSERT_TRUE(session_.Activate(again));
    ASSERT_TRUE(session_.Key("Escape"));
    ASSERT_TRUE(session_.WaitUnmapped(again));
    Sleep(300);
    ASSERT_TRUE(MoveTo(Point(kNowhere)));
    EXPECT_TRUE(WaitFor([&] { return Part(Shot(), browse) == rest; }, 5000));
    session_.Screenshot(window_, "page01-after-escape");
}

INSTANTIATE_TEST_SUITE_P(Managers, WizardWindow, testing::Values(WindowManager::None, WindowManager::Openbox),
                         ManagerName);

} // namespace
