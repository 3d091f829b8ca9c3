// A window for choosing the install folder from a drive list and a folder
// list. The chosen folder is the text of EPath once the window closes; an
// empty text means the choice was cancelled.
#pragma once

#include "ExtCtrls.h"
#include "FileCtrl.h"
#include "Forms.h"
#include "StdCtrls.h"

class TChooseFolder_Form : public TForm {
    Q_OBJECT

public: // components of the form resource
    TDirectoryListBox *DirectoryListBox1;
    TDriveComboBox *DriveComboBox1;
    TLabel *Label2;
    TLabel *Label1;
    TEdit *EPath;
    TLabel *Label3;
    TButton *BOk;
    TButton *BCancel;
    TImage *IBg;

    Q_INVOKABLE void FormShow(TObject *Sender);
    Q_INVOKABLE void DirectoryListBox1Change(TObject *Sender);
    Q_INVOKABLE void BOkClick(TObject *Sender);
    Q_INVOKABLE void BCancelClick(TObject *Sender);

public:
    explicit TChooseFolder_Form(TComponent *Owner);

    // The labels' texts in the wizard's language.
    void ApplyLanguage();
};

extern TChooseFolder_Form *ChooseFolder_Form;
