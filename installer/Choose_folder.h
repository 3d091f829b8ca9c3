// A window for choosing the install folder from a drive list and a folder
// list. The chosen folder is the text of EPath once the window closes; an
// empty text means the choice was cancelled.
#pragma once

#include "Button.h"
#include "DirectoryListBox.h"
#include "DriveComboBox.h"
#include "Edit.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"

class TChooseFolder_Form : public TForm {
    Q_OBJECT

public: // components of the form resource
    TDirectoryListBox *DirectoryListBox1 = Component<TDirectoryListBox>("DirectoryListBox1");
    TDriveComboBox *DriveComboBox1 = Component<TDriveComboBox>("DriveComboBox1");
    TLabel *Label2 = Component<TLabel>("Label2");
    TLabel *Label1 = Component<TLabel>("Label1");
    TEdit *EPath = Component<TEdit>("EPath");
    TLabel *Label3 = Component<TLabel>("Label3");
    TButton *BOk = Component<TButton>("BOk");
    TButton *BCancel = Component<TButton>("BCancel");
    TImage *IBg = Component<TImage>("IBg");

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
