#include "DriveComboView.h"

#include <cctype>

#include <QStyle>

#include "DirectoryListView.h"
#include "Folders.h"

TDriveComboView::TDriveComboView(QWidget *parent) : QComboBox(parent)
{
    Update();
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) { Chosen(); });
}

char TDriveComboView::Drive() const { return FDrive; }

void TDriveComboView::Update()
{
    const char chosen = FDrive;
    const QSignalBlocker quiet(this);
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (char letter : DriveLetters())
        addItem(icon, QString(QChar(tolower(static_cast<unsigned char>(letter)))) + QLatin1Char(':'),
                QVariant(static_cast<int>(letter)));
    int row = findData(QVariant(static_cast<int>(chosen ? chosen : 'C')));
    if (row < 0)
        row = count() > 0 ? 0 : -1;
    setCurrentIndex(row);
    FDrive = row >= 0 ? static_cast<char>(itemData(row).toInt()) : 0;
}

bool TDriveComboView::SetDrive(char Drive)
{
    const int row = findData(QVariant(toupper(static_cast<unsigned char>(Drive))));
    if (row < 0)
        return false;
    setCurrentIndex(row);
    Chosen();
    return true;
}

void TDriveComboView::SetDirList(TDirectoryListView *list)
{
    FDirList = list;
    if (FDirList)
        FDirList->SetDrive(FDrive);
}

void TDriveComboView::Chosen()
{
    const int row = currentIndex();
    const char drive = row >= 0 ? static_cast<char>(itemData(row).toInt()) : 0;
    if (drive == FDrive)
        return;
    FDrive = drive;
    if (FDirList)
        FDirList->SetDrive(FDrive);
    if (FOnChange)
        FOnChange();
}
