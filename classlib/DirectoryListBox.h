// TDirectoryListBox: the class library's directory list on the machine
// root's folders (the lines are TDirectoryListView's: the current folder's
// path from its drive's root down, then its subfolders). A double-click or
// Enter on a line makes that folder the current one and runs OnChange.
//
// Directory is a Windows path ("C:\Program Files"); setting a folder that
// does not exist changes nothing. Unlike the class library's, the list
// leaves the process's current folder alone. A TDriveComboBox linked to the
// list (its DirList) moves it to the drive chosen.
#pragma once

#include "WinControl.h"

class TDirectoryListView;

class TDirectoryListBox : public TWinControl {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "ItemHeight")
    Q_PROPERTY(AnsiString Directory READ Directory WRITE SetDirectory)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
public:
    explicit TDirectoryListBox(TComponent *AOwner);

    AnsiString Directory() const;
    void SetDirectory(const AnsiString &Directory);
    // The upper-case drive letter of the current folder.
    char Drive() const;
    // Moves to the root of that drive when it is not the current one.
    void SetDrive(char Drive);
    int ItemHeight() const;
    void SetItemHeight(int ItemHeight);
    // Reads the folders anew.
    void Update();

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent &Event) { FOnChange = Event; }

    TDirectoryListView *View() const;

protected:
    void ColorChanged() override;

private:
    TNotifyEvent FOnChange;
};
