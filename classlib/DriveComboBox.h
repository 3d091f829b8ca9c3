// TDriveComboBox: the class library's drive list on the machine root's
// drives ("c:", "z:" ...). Choosing a drive runs OnChange and, when the
// list is linked to a TDirectoryListBox (DirList), moves that list to the
// drive's root first.
#pragma once

#include "DirectoryListBox.h"
#include "WinControl.h"

class TDriveComboView;

class TDriveComboBox : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(TDirectoryListBox *DirList READ DirList WRITE SetDirList)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
public:
    explicit TDriveComboBox(TComponent *AOwner);

    // The chosen drive, an upper-case letter.
    char Drive() const;
    // Chooses a drive the machine has; another letter changes nothing.
    void SetDrive(char Drive);
    // Lists the drives anew.
    void Update();

    TDirectoryListBox *DirList() const { return FDirList; }
    void SetDirList(TDirectoryListBox *DirList);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent &Event) { FOnChange = Event; }

    TDriveComboView *View() const;

protected:
    void ColorChanged() override;

private:
    QPointer<TDirectoryListBox> FDirList;
    TNotifyEvent FOnChange;
};
