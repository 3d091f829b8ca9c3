// The drive and directory lists as components of a form resource, linked
// as the class library links them: choosing a drive moves the directory
// list; each list reports its changes.

#include <sys/stat.h>

#include <string>
#include <vector>

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "Application.h"
#include "DirectoryListBox.h"
#include "DirectoryListView.h"
#include "DriveComboBox.h"
#include "DriveComboView.h"
#include "Folders.h"
#include "Form.h"
#include "TempMachineRoot.h"

namespace {

using Texts = std::vector<std::string>;

class TFoldersForm : public TForm {
    Q_OBJECT
public:
    explicit TFoldersForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/folders-test/Folders.dfm") {}

    TDirectoryListBox *DirectoryListBox1 = Component<TDirectoryListBox>("DirectoryListBox1");
    TDriveComboBox *DriveComboBox1 = Component<TDriveComboBox>("DriveComboBox1");
    // What the handlers saw, in order.
    Texts Changes;

    Q_INVOKABLE void DirectoryListBox1Change(TObject *Sender)
    {
        if (Sender == DirectoryListBox1)
            Changes.push_back("list " + DirectoryListBox1->Directory().str());
    }
    Q_INVOKABLE void DriveComboBox1Change(TObject *Sender)
    {
        if (Sender == DriveComboBox1)
            Changes.push_back(std::string("drive ") + DriveComboBox1->Drive());
    }
};

Texts Lines(const TDirectoryListBox *list)
{
    Texts lines;
    for (int row = 0; row < list->View()->count(); ++row)
        lines.push_back(list->View()->item(row)->text().toStdString());
    return lines;
}

// A user's double-click on a line of the list.
void DoubleClick(TDirectoryListBox *list, const std::string &line)
{
    QListWidget *view = list->View();
    const QList<QListWidgetItem *> found = view->findItems(QString::fromStdString(line), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << line;
    QWidget *target = view->viewport();
    const QPointF at(view->visualItemRect(found.front()).center());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
}

// A user's choice in the drive list.
void Choose(TDriveComboBox *drives, char letter)
{
    QComboBox *view = drives->View();
    const int row = view->findText(QString(QChar(letter)) + ":");
    ASSERT_GE(row, 0) << letter;
    view->setCurrentIndex(row);
    emit view->activated(row);
}

class FolderLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        ASSERT_TRUE(ForceDirectories("C:\\Scans\\2024"));
        ASSERT_TRUE(ForceDirectories("C:\\Scans\\archive"));
        Application->Initialize();
        Application->CreateForm(&Form);
        ASSERT_NE(Form, nullptr);
        Form->DirectoryListBox1->SetDirectory("C:\\");
        Form->Changes.clear();
    }
    void TearDown() override { Application.Reset(); }

    bool OnC(const std::string &path) const
    {
        struct stat info;
        return stat((FRoot.Path() + "/drives/c/" + path).c_str(), &info) == 0;
    }

    testsupport::TempMachineRoot FRoot{"folder-lists", testsupport::Layout::Now};
    TFoldersForm *Form = nullptr;
};

TEST_F(FolderLists, TheResourceLinksTheDriveListToTheDirectoryList)
{
    EXPECT_EQ(Form->DriveComboBox1->DirList(), Form->DirectoryListBox1);
    EXPECT_EQ(Form->DirectoryListBox1->ItemHeight(), 16);
    EXPECT_EQ(Form->DriveComboBox1->Drive(), 'C');
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\");
    EXPECT_EQ(Form->DirectoryListBox1->Drive(), 'C');
    Texts drives;
    for (int row = 0; row < Form->DriveComboBox1->View()->count(); ++row)
        drives.push_back(Form->DriveComboBox1->View()->itemText(row).toStdString());
    EXPECT_EQ(drives, (Texts{"c:", "z:"}));
}

TEST_F(FolderLists, TheListShowsThePathFromTheRootThenTheSubfolders)
{
    Form->DirectoryListBox1->SetDirectory("c:\\SCANS");
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\Scans");
    EXPECT_EQ(Lines(Form->DirectoryListBox1), (Texts{"C:\\", "Scans", "2024", "archive"}));
    EXPECT_EQ(Form->DirectoryListBox1->View()->currentRow(), 1) << "the current folder's line is selected";
    EXPECT_EQ(Form->Changes, (Texts{"list C:\\Scans"}));

    // The same folder again, or one that does not exist: no change.
    Form->DirectoryListBox1->SetDirectory("C:\\Scans");
    Form->DirectoryListBox1->SetDirectory("C:\\Scans\\missing");
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\Scans");
    EXPECT_EQ(Form->Changes.size(), 1u);
}

TEST_F(FolderLists, ADoubleClickOpensAFolder)
{
    DoubleClick(Form->DirectoryListBox1, "Scans");
    DoubleClick(Form->DirectoryListBox1, "archive");
    EXPECT_EQ(Lines(Form->DirectoryListBox1), (Texts{"C:\\", "Scans", "archive"}));
    DoubleClick(Form->DirectoryListBox1, "C:\\");
    EXPECT_EQ(Form->Changes, (Texts{"list C:\\Scans", "list C:\\Scans\\archive", "list C:\\"}));
}

TEST_F(FolderLists, ChoosingADriveMovesTheList)
{
    Form->DirectoryListBox1->SetDirectory("C:\\Scans");
    Form->Changes.clear();
    Choose(Form->DriveComboBox1, 'z');
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "Z:\\");
    EXPECT_EQ(Form->Changes, (Texts{"list Z:\\", "drive Z"})) << "the list moves before the drive list reports";

    Choose(Form->DriveComboBox1, 'z');
    EXPECT_EQ(Form->Changes.size(), 2u) << "the same drive again changes nothing";

    Form->DriveComboBox1->SetDrive('c');
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\");
    Form->DriveComboBox1->SetDrive('q');
    EXPECT_EQ(Form->DriveComboBox1->Drive(), 'C') << "a drive the machine lacks";

    Form->DriveComboBox1->SetDirList(nullptr);
    Choose(Form->DriveComboBox1, 'z');
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\") << "unlinked, the list stays";
}

TEST_F(FolderLists, AFolderThatGoesAwayGivesWayToTheOneAbove)
{
    Form->DirectoryListBox1->SetDirectory("C:\\Scans\\2024");
    ASSERT_EQ(rmdir((FRoot.Path() + "/drives/c/Scans/2024").c_str()), 0);
    Form->DirectoryListBox1->Update();
    EXPECT_EQ(Form->DirectoryListBox1->Directory(), "C:\\Scans");
    EXPECT_EQ(Lines(Form->DirectoryListBox1), (Texts{"C:\\", "Scans", "archive"}));
    EXPECT_FALSE(OnC("Scans/2024"));
}

} // namespace

#include "FolderListsTest.moc"
