// The scanner program's main form: a small tool window with the status box,
// the Scan button, the destination folder with the button that changes it,
// and Close. It keeps the destination folder in "config.inc" in the user's
// temporary folder, creates the scan thread at start, and every 500 ms
// shows the text the scan thread has posted. The scan thread's poll enables
// and disables ScanBut and DestBut through MainForm.
#pragma once

#include "windef.h"

#include "BitBtn.h"
#include "Button.h"
#include "Edit.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "Panel.h"
#include "Timer.h"

class TMain;

class TMainForm : public TForm {
    Q_OBJECT
public: // the resource's components, bound by name
    TBitBtn *CloseBut = Component<TBitBtn>("CloseBut");
    TPanel *Panel1 = Component<TPanel>("Panel1");
    TPanel *Panel2 = Component<TPanel>("Panel2");
    TLabel *MsgLabel = Component<TLabel>("MsgLabel");
    TBitBtn *ScanBut = Component<TBitBtn>("ScanBut");
    TBitBtn *DestBut = Component<TBitBtn>("DestBut");
    TLabel *DestLabel = Component<TLabel>("DestLabel");
    TImage *Image1 = Component<TImage>("Image1");
    TTimer *CheckMsgTimer = Component<TTimer>("CheckMsgTimer");
    TEdit *DestEdit = Component<TEdit>("DestEdit");
    TButton *ShowLog = Component<TButton>("ShowLog");
    TButton *Button1 = Component<TButton>("Button1");
    TButton *Button2 = Component<TButton>("Button2");

    // published handlers
    Q_INVOKABLE void FormCreate(TObject *Sender);
    Q_INVOKABLE void DestButClick(TObject *Sender);
    Q_INVOKABLE void CheckMsgTimerTimer(TObject *Sender);
    Q_INVOKABLE void ScanButClick(TObject *Sender);
    Q_INVOKABLE void CloseButClick(TObject *Sender);
    Q_INVOKABLE void FormClose(TObject *Sender, TCloseAction &Action);
    Q_INVOKABLE void ShowLogClick(TObject *Sender);
    Q_INVOKABLE void Button1Click(TObject *Sender);
    Q_INVOKABLE void Button2Click(TObject *Sender);

public:
    explicit TMainForm(TComponent *Owner);
    // Ends the scan thread (a scan under way leaves its transfer) and frees
    // it.
    ~TMainForm() override;

    // Tells the scan thread to stop and waits at most `ms` for it: true when
    // it has ended (or there is none).
    bool StopScanThread(DWORD ms);

    void Initialize();
    // The destination from config.inc, made on a first start. A destination
    // that would be empty (an empty file, or a file that cannot be read or
    // written) is the user's documents folder.
    void LoadDestination();
    // Shows `Text` in the status box, centred.
    void ShowStatus(const AnsiString &Text);

private:
    friend class TMainFormProbe; // lets tests reach the scan thread and the folders

    TMain *FThread = nullptr;
    AnsiString FDestination;
    AnsiString FTempFolder;
};

extern TMainForm *MainForm;
