#include "DirectoryListBox.h"

#include "Colors.h"
#include "DirectoryListView.h"
#include "Pixels.h"

TDirectoryListBox::TDirectoryListBox(TComponent *AOwner) : TWinControl(AOwner)
{
    auto *view = new TDirectoryListView;
    SetWidget(view);
    view->SetOnChange([this] { FireUnlessDestroying(FOnChange); });
    SetUpEntryBox();
    SetBounds(0, 0, 145, 97);
}

TDirectoryListView *TDirectoryListBox::View() const { return static_cast<TDirectoryListView *>(Widget()); }

AnsiString TDirectoryListBox::Directory() const { return View()->Directory(); }
void TDirectoryListBox::SetDirectory(const AnsiString &Directory) { View()->SetDirectory(Directory); }
char TDirectoryListBox::Drive() const { return View()->Drive(); }
void TDirectoryListBox::SetDrive(char Drive) { View()->SetDrive(Drive); }
int TDirectoryListBox::ItemHeight() const { return View()->ItemHeight(); }
void TDirectoryListBox::SetItemHeight(int ItemHeight) { View()->SetItemHeight(ClampPixels(ItemHeight)); }
void TDirectoryListBox::Update() { View()->Update(); }

void TDirectoryListBox::ColorChanged()
{
    TWinControl::ColorChanged();
    SetPaletteColor(QPalette::Base, Color());
}
