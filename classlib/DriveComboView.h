// The drop-down list of the machine's drives that TDriveComboBox and the
// folder dialog show: one line a drive, "c:" and so on, in order. Linked to
// a directory list, choosing a drive moves that list to the drive's root.
#pragma once

#include <functional>

#include <QComboBox>
#include <QPointer>

class TDirectoryListView;

class TDriveComboView : public QComboBox {
public:
    explicit TDriveComboView(QWidget *parent = nullptr);

    // The chosen drive, an upper-case letter.
    char Drive() const;
    // Chooses a drive the machine has (either case); false otherwise.
    bool SetDrive(char Drive);
    // Lists the drives anew.
    void Update();

    // The directory list that follows the chosen drive; null for none.
    TDirectoryListView *DirList() const { return FDirList; }
    void SetDirList(TDirectoryListView *list);

    // Called after the chosen drive has changed.
    void SetOnChange(std::function<void()> onChange) { FOnChange = std::move(onChange); }

private:
    void Chosen();

    QPointer<TDirectoryListView> FDirList;
    char FDrive = 0;
    std::function<void()> FOnChange;
};
