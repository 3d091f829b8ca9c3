#include "DriveComboBox.h"

#include "Colors.h"
#include "DirectoryListView.h"
#include "DriveComboView.h"

TDriveComboBox::TDriveComboBox(TComponent *AOwner) : TWinControl(AOwner)
{
    auto *view = new TDriveComboView;
    SetWidget(view);
    view->SetOnChange([this] { FireUnlessDestroying(FOnChange); });
    SetUpEntryBox();
    SetBounds(0, 0, 145, 19);
}

TDriveComboView *TDriveComboBox::View() const { return static_cast<TDriveComboView *>(Widget()); }

char TDriveComboBox::Drive() const { return View()->Drive(); }
void TDriveComboBox::SetDrive(char Drive) { View()->SetDrive(Drive); }
void TDriveComboBox::Update() { View()->Update(); }

void TDriveComboBox::SetDirList(TDirectoryListBox *DirList)
{
    FDirList = DirList;
    View()->SetDirList(DirList ? DirList->View() : nullptr);
}

void TDriveComboBox::ColorChanged()
{
    TWinControl::ColorChanged();
    SetPaletteColor(QPalette::Base, Color());
}
