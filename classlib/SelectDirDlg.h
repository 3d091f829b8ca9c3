// The folder dialog that SelectDirectory shows (SelectDirectory.h says what
// it does). Tests reach its parts through the dialog pilot.
#pragma once

#include <QDialog>

#include "AnsiString.h"
#include "SelectDirectory.h"

class QLineEdit;
class QPushButton;
class TDirectoryListView;
class TDriveComboView;

class TSelectDirDlg : public QDialog {
public:
    TSelectDirDlg(const AnsiString &Directory, TSelectDirOpts Options, QWidget *parent = nullptr);

    // The folder chosen, once the dialog has ended with OK.
    AnsiString Directory() const { return FChosen; }

    QLineEdit *Edit() const { return FEdit; }
    TDirectoryListView *List() const { return FList; }
    TDriveComboView *Drives() const { return FDrives; }
    QPushButton *OkButton() const { return FOk; }
    QPushButton *CancelButton() const { return FCancel; }

    // Takes the folder in the edit, as the OK button does.
    void accept() override;

private:
    TSelectDirOpts FOptions;
    AnsiString FChosen;
    QLineEdit *FEdit;
    TDirectoryListView *FList;
    TDriveComboView *FDrives;
    QPushButton *FOk;
    QPushButton *FCancel;
};
