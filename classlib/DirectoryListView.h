// The list of folders that TDirectoryListBox and the folder dialog show: the
// current folder's path from its drive's root down, each level an open
// folder indented one step further, then the current folder's subfolders as
// closed folders one step below it. The current folder's line is selected.
// A double-click, or Enter, on a line makes its folder the current one.
//
// Folders are Windows paths of the machine root (Folders.h); names are shown
// decoded in the system's ANSI code page.
#pragma once

#include <functional>

#include <QListWidget>

#include "AnsiString.h"

class TDirectoryListView : public QListWidget {
public:
    explicit TDirectoryListView(QWidget *parent = nullptr);

    // The current folder: a full path ("C:\Program Files"), its names in
    // the case they have on disk.
    AnsiString Directory() const { return FDirectory; }
    // Makes the folder current (a name relative to the current folder is
    // taken in it). False, with nothing changed, when it does not exist.
    bool SetDirectory(const AnsiString &Directory);
    // The upper-case drive letter of the current folder.
    char Drive() const { return FDirectory.IsEmpty() ? 'C' : FDirectory[1]; }
    // Moves to the root of that drive; false when the machine lacks it.
    bool SetDrive(char Drive);
    // Reads the current folder's subfolders anew.
    void Update();

    // The full path of a line; empty out of range.
    AnsiString PathOf(int row) const;
    // The line of a level or subfolder by its shown name; -1 when absent.
    int RowOf(const AnsiString &name) const;
    // Makes a line's folder current, as a double-click on it does.
    void OpenRow(int row);

    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int height);

    // Called after the current folder has changed.
    void SetOnChange(std::function<void()> onChange) { FOnChange = std::move(onChange); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Fill();

    AnsiString FDirectory;
    int FItemHeight = 16;
    std::function<void()> FOnChange;
};
