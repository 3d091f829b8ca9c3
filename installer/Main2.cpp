// The wizard form: its creation, the choice of language, and the drawing of
// its pages from one set of components.
#include "Main2.h"

#include <memory>
#include <vector>

#include "windows.h"

#include "Lang_text.h"
#include "MessageForm.h"
#include "SysUtils.h"

TForm2 *Form2 = nullptr;

namespace {

constexpr TColor kNormalColour = static_cast<TColor>(0x874A07);  // dark blue
constexpr TColor kPendingColour = static_cast<TColor>(0xD6A876); // light blue

constexpr int kMenuFontSize = 18;
constexpr int kFolderPageFontSize = 13;
constexpr int kMidTextFontSize = 14;

constexpr DWORD kEnvironmentBuffer = 400;
constexpr const char *kInstallSubfolder = "Veltrona\\Norvik";

// What a page shows. A text id of 0 leaves that label empty and hidden.
enum TShown : unsigned {
    kExit = 1u << 0,
    kPrev = 1u << 1,
    kMenu = 1u << 2,
    kExit2 = 1u << 3,
    kContinueActive = 1u << 4,
    kContinuePending = 1u << 5,
};

struct TPageLook {
    unsigned Page;
    unsigned char Title;
    unsigned char Chap[4];
    bool Picture[4];  // the label's button picture shown
    bool Pending[4];  // the label in the pending colour
    unsigned char MidText;
    int MidTextSize;  // 0: the size the page was cleared to
    unsigned Shown;
};

// Pages 0 and 1 add what the table cannot say (ShowPage).
const TPageLook kPages[] = {
    {0, 4, {9, 11, 8, 0}, {true, true, true, false}, {}, 0, 0, kExit},
    {1, 9, {10, 0, 31, 0}, {}, {}, 0, 0, kContinueActive | kPrev | kMenu | kExit},
    {3, 9, {}, {}, {}, 12, 0, kContinueActive | kPrev | kMenu | kExit},
    {4, 9, {14, 15, 16, 17}, {}, {false, true, true, true}, 0, 0, kContinuePending | kExit},
    {5, 9, {14, 15, 16, 17}, {}, {false, false, true, true}, 0, 0, kContinuePending | kExit},
    {6, 9, {14, 15, 16, 17}, {}, {false, false, false, true}, 0, 0, kContinuePending | kExit},
    {7, 9, {14, 15, 16, 17}, {}, {}, 0, 0, kContinuePending | kExit},
    {8, 9, {14, 15, 16, 17}, {}, {}, 0, 0, kContinueActive | kExit},
    {9, 9, {18, 0, 24, 0}, {}, {}, 0, 0, kExit | kMenu},
    {10, 9, {30, 0, 25, 0}, {}, {}, 0, 0, kExit2 | kMenu},
    {11, 9, {27, 0, 0, 0}, {}, {}, 26, 10, kExit2},
    {12, 11, {19, 20, 21, 22}, {}, {false, true, true, true}, 0, 0, kContinuePending | kExit},
    {13, 11, {19, 20, 21, 22}, {}, {false, false, true, true}, 0, 0, kContinuePending | kExit},
    {14, 11, {19, 20, 21, 22}, {}, {false, false, false, true}, 0, 0, kContinuePending | kExit},
    {15, 11, {19, 20, 21, 22}, {}, {}, 0, 0, kContinuePending | kExit},
    {16, 11, {19, 20, 21, 22}, {}, {}, 0, 0, kContinueActive | kExit},
    {17, 11, {}, {}, {}, 23, 16, kExit2},
    {18, 11, {28, 0, 0, 0}, {}, {}, 29, 10, kExit2},
};

const TPageLook *FindPage(unsigned page)
{
    for (const TPageLook &look : kPages) {
        if (look.Page == page)
            return &look;
    }
    return nullptr;
}

// The machine's Program Files folder: that of the Windows folder's drive.
AnsiString ProgramFilesOfSystemDrive()
{
    char windows[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    AnsiString drive = (length > 0 && length < sizeof windows) ? ExtractFileDrive(windows) : AnsiString("C:");
    return drive + "\\Program Files";
}

} // namespace

// The folder that "PROGRAMFILES" names; when it is not set or does not fit
// the 400-byte buffer, the Program Files folder of the system drive.
AnsiString TForm2::ProgramFilesFolder()
{
    std::vector<char> buffer(kEnvironmentBuffer, '\0');
    const DWORD length = GetEnvironmentVariableA("PROGRAMFILES", buffer.data(), kEnvironmentBuffer);
    if (length == 0 || length >= kEnvironmentBuffer)
        return ProgramFilesOfSystemDrive();
    return AnsiString(buffer.data(), static_cast<int>(length));
}

TForm2::TForm2(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/installer/Main2.dfm") {}

TForm2::~TForm2() = default;

AnsiString TForm2::GetLangText(unsigned char id) { return LangText(id, FLanguage); }

TFontCharset TForm2::TextCharset() const { return FLanguage == kLangChinese ? GB2312_CHARSET : ANSI_CHARSET; }

int TForm2::LangMessageDlg(unsigned char id, TMsgDlgType type, TMsgDlgButtons buttons)
{
    const std::unique_ptr<TMessageForm> dialog(CreateMessageDialog(GetLangText(id), type, buttons));
    if (!dialog)
        return mrNone;
    dialog->SetCharset(TextCharset());
    return dialog->exec();
}

void SetLabelsCharset(TComponent *owner, TFontCharset charset)
{
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (TLabel *label = qobject_cast<TLabel *>(owner->Components(i)))
            label->Font()->SetCharset(charset);
}

void TForm2::FormCreate(TObject *)
{
    Timer1->SetEnabled(false);
    Timer1->SetInterval(500);
    FLanguage = GetSystemDefaultUILanguage();
    FPage = 0;
    if (FLanguage == kLangEnglish)
        Img_UKClick(Img_UK);
    else if (FLanguage == kLangFrench)
        Img_FRClick(Img_FR);
    else if (FLanguage == kLangChinese)
        Img_CNClick(Img_CN);
    for (unsigned char &state : FHover)
        state = 0;
    FInstallDir = new AnsiString(ProgramFilesFolder() + "\\" + kInstallSubfolder);
}

void TForm2::FormDestroy(TObject *)
{
    delete FInstallDir;
    FInstallDir = nullptr;
}

void TForm2::SelectLanguage(TBevel *bevel, int language)
{
    B_CN->SetStyle(bevel == B_CN ? bsLowered : bsRaised);
    B_FR->SetStyle(bevel == B_FR ? bsLowered : bsRaised);
    B_UK->SetStyle(bevel == B_UK ? bsLowered : bsRaised);
    FLanguage = language;
    SetLabelsCharset(this, TextCharset());
    SetNavigationTexts();
    ResetPage();
    ShowPage(static_cast<unsigned>(FPage));
}

void TForm2::Img_UKClick(TObject *) { SelectLanguage(B_UK, kLangEnglish); }
void TForm2::Img_FRClick(TObject *) { SelectLanguage(B_FR, kLangFrench); }
void TForm2::Img_CNClick(TObject *) { SelectLanguage(B_CN, kLangChinese); }

void TForm2::SetNavigationTexts()
{
    IHomeBg->SetVisible(false);
    IBg->SetVisible(true);
    LExit->SetCaption(GetLangText(3));
    LExit2->SetCaption(GetLangText(3));
    LContinue->SetCaption(GetLangText(13));
    LPrev->SetCaption(GetLangText(1));
    LMenu->SetCaption(GetLangText(2));
}

void TForm2::ResetPage()
{
    IHomeBg->SetVisible(false);
    IBg->SetVisible(true);
    LTitle->SetCaption("");

    LChap1->SetCaption("");
    LChap1->SetVisible(false);
    LChap1->SetCursor(crDefault);
    LChap1->Font()->SetSize(kMenuFontSize);
    LChap1->SetOnMouseEnter(TNotifyEvent(this, &TForm2::LChap1MouseEnter));
    LChap1->SetOnMouseLeave(TNotifyEvent(this, &TForm2::LChap1MouseLeave));
    Img1->SetVisible(false);

    LChap2->SetCaption("");
    LChap2->SetVisible(false);
    LChap2->Font()->SetColor(kNormalColour);
    LChap2->SetCursor(crDefault);
    Img2->SetVisible(false);

    LChap3->SetCaption("");
    LChap3->SetVisible(false);
    LChap3->Font()->SetColor(kNormalColour);
    LChap3->SetCursor(crDefault);
    LChap3->Font()->SetSize(kMenuFontSize);
    LChap3->SetOnMouseEnter(TNotifyEvent(this, &TForm2::LChap3MouseEnter));
    LChap3->SetOnMouseLeave(TNotifyEvent(this, &TForm2::LChap3MouseLeave));
    Img3->SetVisible(false);

    LChap4->SetCaption("");
    LChap4->SetVisible(false);
    LChap4->Font()->SetColor(kNormalColour);
    LChap4->SetCursor(crDefault);
    Img4->SetVisible(false);

    LMidText->SetCaption("");
    LMidText->Font()->SetSize(kMidTextFontSize);

    LContinue->SetVisible(false);
    LContinue->Font()->SetColor(kNormalColour);
    LContinue->SetCursor(crDefault);
    Img6->SetVisible(false);

    LPrev->SetVisible(false);
    LMenu->SetVisible(false);
    LExit->SetVisible(false);
    LExit2->SetVisible(false);
    LExit2->SetCursor(crDefault);
    Img5->SetVisible(false);
    EPath->SetVisible(false);
    LBrowse->SetVisible(false);
}

void TForm2::ShowPage(unsigned int page)
{
    ResetPage();
    FPage = static_cast<int>(page);

    TLabel *const chaps[4] = {LChap1, LChap2, LChap3, LChap4};
    TImage *const pictures[4] = {Img1, Img2, Img3, Img4};

    if (const TPageLook *look = FindPage(page)) {
        LTitle->SetCaption(GetLangText(look->Title));
        for (int i = 0; i < 4; ++i) {
            if (look->Chap[i] == 0)
                continue;
            // The home page offers uninstalling only while the monitor is there.
            if (page == 0 && i == 1 && !IsMonitorInstalled())
                continue;
            chaps[i]->SetCaption(GetLangText(look->Chap[i]));
            if (look->Picture[i])
                pictures[i]->SetVisible(true);
            if (look->Pending[i])
                chaps[i]->Font()->SetColor(kPendingColour);
        }
        if (look->MidText != 0) {
            LMidText->SetCaption(GetLangText(look->MidText));
            if (look->MidTextSize != 0)
                LMidText->Font()->SetSize(look->MidTextSize);
        }
        if (look->Shown & kExit)
            LExit->SetVisible(true);
        if (look->Shown & kPrev)
            LPrev->SetVisible(true);
        if (look->Shown & kMenu)
            LMenu->SetVisible(true);
        if (look->Shown & kExit2) {
            LExit2->SetVisible(true);
            LExit2->SetCursor(crHandPoint);
        }
        if (look->Shown & kContinueActive) {
            LContinue->SetVisible(true);
            LContinue->SetCursor(crHandPoint);
            Img6->SetVisible(true);
        }
        if (look->Shown & kContinuePending) {
            LContinue->SetVisible(true);
            LContinue->Font()->SetColor(kPendingColour);
        }
        if (page == 0) {
            IHomeBg->SetVisible(true);
            IBg->SetVisible(false);
        }
        if (page == 1) {
            // Two plain lines, not buttons: smaller and without hover.
            for (TLabel *label : {LChap1, LChap3}) {
                label->Font()->SetSize(kFolderPageFontSize);
                label->SetOnMouseEnter(nullptr);
                label->SetOnMouseLeave(nullptr);
            }
            EPath->SetText(FInstallDir ? *FInstallDir : AnsiString());
            EPath->SetVisible(true);
            LBrowse->SetCaption(GetLangText(32));
            LBrowse->SetVisible(true);
        }
        UpdateProgress(page);
    }

    for (int i = 0; i < 4; ++i) {
        if (!chaps[i]->Caption().IsEmpty()) {
            chaps[i]->SetVisible(true);
            if (pictures[i]->Visible())
                chaps[i]->SetCursor(crHandPoint);
        }
    }
    Img5->SetVisible(LExit2->Visible());
}

// The progress bar stays hidden; it follows an install run all the same.
void TForm2::UpdateProgress(unsigned page)
{
    switch (page) {
    case 4:
        Timer3->SetEnabled(true);
        break;
    case 5:
        ProgressBar1->SetPosition(25);
        break;
    case 6:
        ProgressBar1->SetPosition(50);
        break;
    case 7:
        ProgressBar1->SetPosition(75);
        break;
    case 8:
        ProgressBar1->SetPosition(100);
        Timer3->SetEnabled(false);
        break;
    default:
        break;
    }
}

void TForm2::Timer3Timer(TObject *) { ProgressBar1->SetPosition(ProgressBar1->Position() + 1); }

bool CreateDirTree(AnsiString path)
{
    const AnsiString parent = ExcludeTrailingBackslash(ExtractFilePath(path));
    const AnsiString drive = ExtractFileDrive(parent);
    // Only a shorter parent is made first: a name such as "ab:" is its own
    // parent and would otherwise recurse without end.
    if (!parent.IsEmpty() && parent != drive && parent.Length() < path.Length())
        CreateDirTree(parent);
    return CreateDir(path);
}
