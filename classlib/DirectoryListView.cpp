#include "DirectoryListView.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "AnsiText.h"
#include "Folders.h"
#include "windows.h"

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndent = 10;

// Draws a line indented by its level, at the list's item height.
class LevelDelegate : public QStyledItemDelegate {
public:
    LevelDelegate(TDirectoryListView *list) : QStyledItemDelegate(list), FList(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + kIndent * index.data(kLevelRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(size.width() + kIndent * index.data(kLevelRole).toInt());
        size.setHeight(FList->ItemHeight());
        return size;
    }

private:
    TDirectoryListView *FList;
};

// The folder's path with each name spelt as on disk where one matches
// without regard to case.
AnsiString SpeltAsOnDisk(const AnsiString &folder)
{
    const std::vector<AnsiString> levels = FolderLevels(folder);
    if (levels.empty())
        return folder;
    AnsiString path = levels[0];
    for (size_t i = 1; i < levels.size(); ++i) {
        AnsiString name = levels[i];
        for (const AnsiString &present : SubfolderNames(path)) {
            if (present == levels[i]) {
                name = present;
                break;
            }
            if (present.CompareIC(levels[i]) == 0 && name == levels[i])
                name = present;
        }
        path += (i > 1 ? "\\" : "") + name;
    }
    return path;
}

AnsiString CurrentFolder()
{
    char current[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    return length > 0 && length < sizeof current ? AnsiString(current) : AnsiString("C:\\");
}

} // namespace

TDirectoryListView::TDirectoryListView(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new LevelDelegate(this));
    setUniformItemSizes(true);
    setIconSize(QSize(16, 14));
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { OpenRow(row(item)); });
    SetDirectory(CurrentFolder());
}

bool TDirectoryListView::SetDirectory(const AnsiString &Directory)
{
    const AnsiString full = ExpandFolderName(Directory, FDirectory.IsEmpty() ? CurrentFolder() : FDirectory);
    if (!DirectoryExists(full))
        return false;
    const AnsiString spelt = SpeltAsOnDisk(full);
    const bool changed = spelt != FDirectory;
    FDirectory = spelt;
    Fill();
    if (changed && FOnChange)
        FOnChange();
    return true;
}

bool TDirectoryListView::SetDrive(char Drive)
{
    if (toupper(static_cast<unsigned char>(Drive)) == this->Drive())
        return true;
    return SetDirectory(AnsiString(Drive) + ":\\");
}

void TDirectoryListView::Update()
{
    if (!DirectoryExists(FDirectory)) {
        // Gone meanwhile: the nearest folder above that still exists.
        std::vector<AnsiString> levels = FolderLevels(FDirectory);
        while (levels.size() > 1) {
            levels.pop_back();
            AnsiString path = levels[0];
            for (size_t i = 1; i < levels.size(); ++i)
                path += (i > 1 ? "\\" : "") + levels[i];
            if (SetDirectory(path))
                return;
        }
    }
    Fill();
}

void TDirectoryListView::Fill()
{
    clear();
    const std::vector<AnsiString> levels = FolderLevels(FDirectory);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    AnsiString path;
    for (size_t i = 0; i < levels.size(); ++i) {
        path += (i > 1 ? "\\" : "") + levels[i];
        auto *item = new QListWidgetItem(open, AnsiToText(levels[i]), this);
        item->setData(kPathRole, QByteArray(path.c_str(), path.Length()));
        item->setData(kLevelRole, static_cast<int>(i));
    }
    setCurrentRow(count() - 1);
    const AnsiString base = FDirectory + (FDirectory.str().back() == '\\' ? "" : "\\");
    for (const AnsiString &name : SubfolderNames(FDirectory)) {
        const AnsiString sub = base + name;
        auto *item = new QListWidgetItem(closed, AnsiToText(name), this);
        item->setData(kPathRole, QByteArray(sub.c_str(), sub.Length()));
        item->setData(kLevelRole, static_cast<int>(levels.size()));
    }
}

AnsiString TDirectoryListView::PathOf(int row) const
{
    const QListWidgetItem *line = item(row);
    if (!line)
        return AnsiString();
    const QByteArray path = line->data(kPathRole).toByteArray();
    return AnsiString(path.constData(), static_cast<int>(path.size()));
}

int TDirectoryListView::RowOf(const AnsiString &name) const
{
    const QString shown = AnsiToText(name);
    for (int row = 0; row < count(); ++row)
        if (item(row)->text() == shown)
            return row;
    return -1;
}

void TDirectoryListView::OpenRow(int row)
{
    const AnsiString path = PathOf(row);
    if (!path.IsEmpty() && !SetDirectory(path))
        Update(); // the folder went away: show what is there now
}

void TDirectoryListView::SetItemHeight(int height)
{
    if (height <= 0 || height == FItemHeight)
        return;
    FItemHeight = height;
    doItemsLayout();
}

void TDirectoryListView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0 &&
        event->modifiers() == Qt::NoModifier) {
        OpenRow(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}
