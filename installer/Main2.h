// The installer's wizard: one borderless form whose pages are drawn from one
// set of components. Labels serve as buttons; their releases become commands
// that HandleCommand carries out for the page showing. A 500 ms timer runs an
// install or uninstall run step by step, a second timer waits for the
// device's COM port after installing.
//
// The form's work is split over units, each holding one role of TForm2:
// Main2.cpp (creation, language, pages), Label_buttons.cpp (mouse events of
// the label buttons), Wizard_commands.cpp (commands, folder check, browse),
// Outside_commands.cpp (monitor check, running outside programs),
// and the units of the runs: Step_sequencer.cpp (StartRun, Timer1Timer,
// StartDetection), Install_steps.cpp, Uninstall_steps.cpp (with DeleteTree)
// and Device_detection.cpp (FindFtdiComPorts, Timer2Timer).
#pragma once

#include "AnsiString.h"
#include "Bevel.h"
#include "Dialogs.h"
#include "Edit.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "Panel.h"
#include "ProgressBar.h"
#include "Timer.h"

class TStringList;

class TForm2 : public TForm {
    Q_OBJECT

public: // components of the form resource
    TPanel *Panel1 = Component<TPanel>("Panel1");
    TImage *IHomeBg = Component<TImage>("IHomeBg");
    TImage *IBg = Component<TImage>("IBg");
    TLabel *LTitle = Component<TLabel>("LTitle");
    TLabel *LChap1 = Component<TLabel>("LChap1");
    TLabel *LChap2 = Component<TLabel>("LChap2");
    TLabel *LChap3 = Component<TLabel>("LChap3");
    TLabel *LChap4 = Component<TLabel>("LChap4");
    TImage *Img1 = Component<TImage>("Img1");
    TImage *Img2 = Component<TImage>("Img2");
    TImage *Img3 = Component<TImage>("Img3");
    TImage *Img4 = Component<TImage>("Img4");
    TLabel *LContinue = Component<TLabel>("LContinue");
    TImage *Img6 = Component<TImage>("Img6");
    TLabel *LExit2 = Component<TLabel>("LExit2");
    TImage *Img5 = Component<TImage>("Img5");
    TLabel *LExit = Component<TLabel>("LExit");
    TLabel *LPrev = Component<TLabel>("LPrev");
    TLabel *LMenu = Component<TLabel>("LMenu");
    TLabel *LMidText = Component<TLabel>("LMidText");
    TEdit *EPath = Component<TEdit>("EPath");
    TLabel *LBrowse = Component<TLabel>("LBrowse");
    TImage *Img_CN = Component<TImage>("Img_CN");
    TImage *Img_FR = Component<TImage>("Img_FR");
    TImage *Img_UK = Component<TImage>("Img_UK");
    TBevel *B_CN = Component<TBevel>("B_CN");
    TBevel *B_FR = Component<TBevel>("B_FR");
    TBevel *B_UK = Component<TBevel>("B_UK");
    TImage *ImgOut = Component<TImage>("ImgOut");
    TImage *ImgOver = Component<TImage>("ImgOver");
    TImage *ImgDown = Component<TImage>("ImgDown");
    TTimer *Timer1 = Component<TTimer>("Timer1");
    TTimer *Timer2 = Component<TTimer>("Timer2");
    TProgressBar *ProgressBar1 = Component<TProgressBar>("ProgressBar1");
    TTimer *Timer3 = Component<TTimer>("Timer3");

    // Published handlers, bound by name from the form resource.
    Q_INVOKABLE void FormCreate(TObject *Sender);
    Q_INVOKABLE void FormDestroy(TObject *Sender);
    Q_INVOKABLE void Img_UKClick(TObject *Sender);
    Q_INVOKABLE void Img_FRClick(TObject *Sender);
    Q_INVOKABLE void Img_CNClick(TObject *Sender);

    Q_INVOKABLE void LChap1MouseEnter(TObject *Sender);
    Q_INVOKABLE void LChap1MouseLeave(TObject *Sender);
    Q_INVOKABLE void SChap1MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap1MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap2MouseEnter(TObject *Sender);
    Q_INVOKABLE void LChap2MouseLeave(TObject *Sender);
    Q_INVOKABLE void LChap2MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap2MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap3MouseEnter(TObject *Sender);
    Q_INVOKABLE void LChap3MouseLeave(TObject *Sender);
    Q_INVOKABLE void LChap3MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap3MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap4MouseEnter(TObject *Sender);
    Q_INVOKABLE void LChap4MouseLeave(TObject *Sender);
    Q_INVOKABLE void LChap4MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LChap4MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LExit2MouseEnter(TObject *Sender);
    Q_INVOKABLE void LExit2MouseLeave(TObject *Sender);
    Q_INVOKABLE void LExit2MouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LExit2MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LContinueMouseEnter(TObject *Sender);
    Q_INVOKABLE void LContinueMouseLeave(TObject *Sender);
    Q_INVOKABLE void LContinueMouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LContinueMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LExitMouseEnter(TObject *Sender);
    Q_INVOKABLE void LExitMouseLeave(TObject *Sender);
    Q_INVOKABLE void LExitMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LPrevMouseEnter(TObject *Sender);
    Q_INVOKABLE void LPrevMouseLeave(TObject *Sender);
    Q_INVOKABLE void LPrevMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LMenuMouseEnter(TObject *Sender);
    Q_INVOKABLE void LMenuMouseLeave(TObject *Sender);
    Q_INVOKABLE void LMenuMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void LBrowseMouseEnter(TObject *Sender);
    Q_INVOKABLE void LBrowseMouseLeave(TObject *Sender);
    Q_INVOKABLE void LBrowseMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Passes the sender's name as the command; no component is bound to it.
    Q_INVOKABLE void SChap1MouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Step sequencer (500 ms), device detection (1000 ms), progress bar.
    Q_INVOKABLE void Timer1Timer(TObject *Sender);
    Q_INVOKABLE void Timer2Timer(TObject *Sender);
    Q_INVOKABLE void Timer3Timer(TObject *Sender);

public: // state of the wizard, read by the step units and the tests
    unsigned char FHover[6] = {0, 0, 0, 0, 0, 0}; // Img1 .. Img6: 0 normal, 1 hover, 2 pressed
    AnsiString FComPort;                          // the device's COM port, once found
    int FLanguage = 0;                            // 1033, 1036, 2052; the system's id until chosen
    int FPage = 0;                                // page showing; written only by ShowPage
    int FActionDue = 0;                           // sequencer: 1 a step is due, 0 a page is due
    int FStep = 0;                                // step that runs next, 1 .. 4
    int FInstalling = 0;                          // 1 install run, 0 uninstall run
    AnsiString *FInstallDir = nullptr;            // install folder, owned by the form

public:
    explicit TForm2(TComponent *Owner);
    ~TForm2() override;

    // The text `id` in the current language; empty when the table lacks it.
    AnsiString GetLangText(unsigned char id);
    // The character set the texts of the current language are drawn in:
    // GB2312 for Chinese, whose texts are GB2312 bytes whatever the
    // machine's code page; else the labels' own ANSI set, which reads them
    // in the machine's code page.
    TFontCharset TextCharset() const;
    // MessageDlg with the text `id` in the current language, read in its
    // character set.
    int LangMessageDlg(unsigned char id, TMsgDlgType type, TMsgDlgButtons buttons);

    void SetNavigationTexts();
    void ResetPage();
    void ShowPage(unsigned int page);

    // Carries out `command` as the page `page` defines it; others do nothing.
    void HandleCommand(AnsiString command, int page);
    // Opens the folder that holds the running installer in the file manager.
    void BrowseContents();

    // One step of an install or uninstall run: 0 success, else the failure
    // code, after the step has shown its own message.
    int InstallStep(int step);
    int UninstallStep(int step);
    // Removes a file, or a folder with everything below it.
    void DeleteTree(const char *path);
    // The device's COM ports that can be opened now; the caller deletes it.
    TStringList *FindFtdiComPorts();

    // Starts an install (1) or uninstall (0) run on its first progress page;
    // the wait for the device stops.
    void StartRun(int installing);
    // Page 9 and the wait for the device's COM port.
    void StartDetection();

    // True when the print spooler lists the port monitor.
    bool IsMonitorInstalled();
    // Runs a command line and returns when its process has ended.
    void RunAndWait(AnsiString commandLine);

private:
    void ApplyLook(int index, TImage *look);
    void ButtonEnter(TObject *Sender, int index);
    void ButtonLeave(TObject *Sender, int index);
    void ButtonDown(int index);
    void ButtonUp(int index, const char *command);
    TImage *ButtonPicture(int index);
    void SelectLanguage(TBevel *bevel, int language);
    void BrowseFolder();
    void CheckFolder();
    void UpdateProgress(unsigned page);
    // "PROGRAMFILES", else the system drive's Program Files folder.
    static AnsiString ProgramFilesFolder();
};

extern TForm2 *Form2;

// Gives every label that `owner` owns the character set `charset`.
void SetLabelsCharset(TComponent *owner, TFontCharset charset);

// Creates the folder `path` with its missing parents; true when the folder
// itself was created by this call.
bool CreateDirTree(AnsiString path);
