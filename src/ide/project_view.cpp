#include "ide/project_view.h"

#include "ide/icons.h"

#include <QDragEnterEvent>
#include <algorithm>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

namespace {

// The image of a category and its items.
QIcon CategoryIcon(ItemKind kind) {
    switch (kind) {
        case ItemKind::Source: return Icon(IconId::Source);
        case ItemKind::Bitmap: return Icon(IconId::Bitmap);
        case ItemKind::Sprite: return Icon(IconId::Sprite);
        case ItemKind::Path: return Icon(IconId::Path);
        case ItemKind::Music: return Icon(IconId::Music);
        case ItemKind::Sound: return Icon(IconId::Sound);
    }
    return {};
}

constexpr int kSmallIndent = 10, kLargeIndent = 25;

}  // namespace

ProjectView::ProjectView(ProjectState& project, QWidget* parent)
    : QWidget(parent, Qt::Window), project_(project) {
    setWindowTitle("Tarnwick Project");
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* tools = new QToolBar(this);
    tools->setObjectName("Toobar_Panel");
    const std::pair<ItemKind, const char*> adds[] = {
        {ItemKind::Source, "Insert black source code unit into project"},
        {ItemKind::Bitmap, "Insert bitmap into project"},
        {ItemKind::Sprite, "Insert sprite into project"},
        {ItemKind::Path, "Insert path into project"},
        {ItemKind::Music, "Insert music into project"},
        {ItemKind::Sound, "Insert sound into project"},
    };
    for (const auto& [kind, hint] : adds) {
        auto* button = new QToolButton(tools);
        button->setIcon(CategoryIcon(kind));
        button->setToolTip(hint);
        connect(button, &QToolButton::clicked, this,
                [this, k = kind] { emit addRequested(k); });
        tools->addWidget(button);
    }
    menu_ = new QMenu(this);
    menu_->setObjectName("PopupMenu");
    menu_->addAction("&Swap image size", this, &ProjectView::SwapImageSize);
    auto* options = new QToolButton(tools);
    options->setObjectName("Project_View_Options_Button");
    options->setIcon(Icon(IconId::Options));
    connect(options, &QToolButton::pressed, this,
            [this] { menu_->popup(geometry().topLeft() + QPoint(10, 50)); });
    tools->addWidget(options);
    layout->addWidget(tools);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeView");
    tree_->setHeaderHidden(true);
    tree_->setIndentation(19);
    tree_->setIconSize(QSize(16, 16));
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    menu_->addAction("&Open all branches", tree_, &QTreeWidget::expandAll);
    menu_->addAction("&Collapse all", tree_, &QTreeWidget::collapseAll);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(tree_->mapToGlobal(at)); });
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { ShowProperties(node); });

    grid_ = new QTableWidget(0, 2, this);
    grid_->setObjectName("Property_Grid");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setDefaultSectionSize(95);
    grid_->verticalHeader()->setDefaultSectionSize(17);
    grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    // Selecting a cell records the text it had; an edited cell is committed when its edit ends.
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        const QTableWidgetItem* cell = grid_->item(row, column);
        oldValue_ = cell ? cell->text() : QString();
    });
    connect(grid_, &QTableWidget::cellChanged, this, &ProjectView::Commit);

    auto* pages = new QTabWidget(this);
    pages->addTab(grid_, "Properties");
    pages->addTab(new QLabel("Nothing special, yet :)", pages), "Special");
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setToolTip("Drag me to increase properties panel");
    split->addWidget(tree_);
    split->addWidget(pages);
    layout->addWidget(split);

    tell = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    resize(320, 500);
}

void ProjectView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placement) setGeometry(*placement);
}

// The grid's columns share its width.
void ProjectView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int column = std::max(20, grid_->viewport()->width() / 2 - 3);
    grid_->horizontalHeader()->setDefaultSectionSize(column);
    grid_->setColumnWidth(0, column);
    grid_->setColumnWidth(1, column);
}

void ProjectView::RefreshDisplay() {
    tree_->clear();
    for (const ProjectCategory& category : kProjectCategories) {
        auto* node = new QTreeWidgetItem(tree_, QStringList{category.name});
        const QIcon icon = CategoryIcon(category.kind);
        node->setIcon(0, icon);
        for (int slot = 0; slot < kMaxProjectItems; ++slot) {
            const ProjectItem& item = project_.items[slot];
            if (!item.used || item.kind != static_cast<uint8_t>(category.kind)) continue;
            auto* child = new QTreeWidgetItem(node, QStringList{QString::fromStdString(item.Name())});
            child->setIcon(0, icon);
            child->setData(0, Qt::UserRole, slot);
        }
    }
    show();
}

void ProjectView::SwapImageSize() {
    largeImages_ = !largeImages_;
    tree_->setIconSize(largeImages_ ? QSize(32, 32) : QSize(16, 16));
    tree_->setIndentation(largeImages_ ? kLargeIndent : kSmallIndent);
}

void ProjectView::ShowProperties(QTreeWidgetItem* node) {
    const QSignalBlocker quiet(grid_);
    grid_->clearContents();
    grid_->setRowCount(0);
    slot_ = -1;
    if (!node || !node->parent()) return;
    const QString category = node->parent()->text(0);
    const bool known = std::any_of(std::begin(kProjectCategories), std::end(kProjectCategories),
                                   [&](const ProjectCategory& c) { return category == c.name; });
    if (!known) return;
    slot_ = node->data(0, Qt::UserRole).toInt();
    const ItemProperties& list = project_.properties[slot_];
    const int pairs = static_cast<int>(list.size() / 2);
    grid_->setRowCount(pairs);
    for (int r = 0; r < pairs; ++r) {
        auto* name = new QTableWidgetItem(QString::fromStdString(list[2 * r]));
        // The name column is not edited: a commit would write to the value line anyway.
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(r, 0, name);
        grid_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(list[2 * r + 1])));
    }
}

void ProjectView::Commit(int row, int column) {
    QTableWidgetItem* cell = grid_->item(row, column);
    if (!cell || slot_ < 0) return;
    const QSignalBlocker quiet(grid_);
    const QString text = cell->text();
    if (text.isEmpty()) {
        cell->setText(oldValue_);
        return;
    }
    if (text == oldValue_) return;
    ItemProperties& list = project_.properties[slot_];
    const size_t valueLine = 2 * static_cast<size_t>(row) + 1;
    if (valueLine >= list.size()) return;
    const std::string value = text.toStdString();
    const std::string refusal = CheckPropertyChange(project_, slot_, list[valueLine - 1], value);
    if (!refusal.empty()) {
        cell->setText(oldValue_);
        tell(QString::fromStdString(refusal));
        return;
    }
    list[valueLine] = value;
    project_.projectModified = true;
    oldValue_ = text;
}

// Files dropped from the desktop are taken and nothing is done with them.
void ProjectView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ProjectView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
}

}  // namespace tw
