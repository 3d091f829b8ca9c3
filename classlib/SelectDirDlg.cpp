#include "SelectDirDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "AnsiText.h"
#include "Application.h"
#include "Dialogs.h"
#include "DirectoryListView.h"
#include "DriveComboView.h"
#include "Exceptions.h"
#include "Folders.h"
#include "GuiApplication.h"

namespace {

// The folder itself when it exists, else the nearest one above it that does;
// empty when none does.
AnsiString NearestExisting(const AnsiString &folder)
{
    std::vector<AnsiString> levels = FolderLevels(folder);
    while (!levels.empty()) {
        AnsiString path = levels[0];
        for (size_t i = 1; i < levels.size(); ++i)
            path += (i > 1 ? "\\" : "") + levels[i];
        if (DirectoryExists(path))
            return path;
        levels.pop_back();
    }
    return AnsiString();
}

QLabel *Caption(const char *text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TSelectDirDlg::TSelectDirDlg(const AnsiString &Directory, TSelectDirOpts Options, QWidget *parent)
    : QDialog(parent), FOptions(Options)
{
    setObjectName(QStringLiteral("SelectDirDlg"));
    setWindowTitle(QStringLiteral("Select Directory"));
    setModal(true);

    FEdit = new QLineEdit(this);
    FList = new TDirectoryListView(this);
    FDrives = new TDriveComboView(this);
    FOk = new QPushButton(QStringLiteral("OK"), this);
    FCancel = new QPushButton(QStringLiteral("Cancel"), this);
    FOk->setDefault(true);
    connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Caption("Directory &Name:", FEdit, this));
    layout->addWidget(FEdit);
    layout->addWidget(Caption("&Directories:", FList, this));
    layout->addWidget(FList, 1);
    layout->addWidget(Caption("Dri&ves:", FDrives, this));
    layout->addWidget(FDrives);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FOk);
    buttons->addWidget(FCancel);
    layout->addLayout(buttons);
    resize(360, 380);

    const AnsiString start = NearestExisting(ExpandFolderName(Directory, FList->Directory()));
    if (!start.IsEmpty())
        FList->SetDirectory(start);
    FDrives->SetDrive(FList->Drive());
    FDrives->SetDirList(FList);
    FEdit->setText(AnsiToText(FList->Directory()));
    FList->SetOnChange([this] {
        FEdit->setText(AnsiToText(FList->Directory()));
        if (FDrives->Drive() != FList->Drive())
            FDrives->SetDrive(FList->Drive());
    });
    FEdit->setFocus();
}

void TSelectDirDlg::accept()
{
    const AnsiString folder = ExpandFolderName(TextToAnsi(FEdit->text()), FList->Directory());
    if (folder.IsEmpty())
        return;
    if (!DirectoryExists(folder)) {
        if (!FOptions.Contains(sdAllowCreate))
            return;
        if (FOptions.Contains(sdPrompt) &&
            MessageDlg("The specified directory does not exist. Create it?", mtConfirmation, mbYes | mbNo, 0) !=
                mrYes)
            return;
        if (FOptions.Contains(sdPerformCreate) && !ForceDirectories(folder)) {
            // As an error raised by the OK button: the application's box.
            const Exception error("Unable to create directory");
            Application->ShowException(&error);
            return;
        }
    }
    FChosen = folder;
    QDialog::accept();
}

bool SelectDirectory(AnsiString &Directory, TSelectDirOpts Options, int)
{
    QApplication *application = GuiApplication();
    if (!application || QThread::currentThread() != application->thread())
        return false;
    TSelectDirDlg dialog(Directory, Options);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Directory = dialog.Directory();
    return true;
}
