#pragma once
// The project view: a tree of the project's items in six categories above a grid of the selected
// item's properties, in which the user edits them (a path's "ID" must stay a whole number that
// no other path has).

#include <QWidget>
#include <QRect>
#include <functional>
#include <optional>

#include "project/twp_file.h"

class QMenu;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

class ProjectView : public QWidget {
    Q_OBJECT

public:
    explicit ProjectView(ProjectState& project, QWidget* parent = nullptr);

    // Rebuilds the tree from the project and shows the window.
    void RefreshDisplay();
    // "&Swap image size": small icons and an indent of 10, or large ones and 25.
    void SwapImageSize();

    QTreeWidget* Tree() const { return tree_; }
    QTableWidget* Grid() const { return grid_; }
    QMenu* Menu() const { return menu_; }
    // How the view tells the user something (a message box; tests listen instead).
    std::function<void(const QString&)> tell;

    // Where the window goes each time it is shown (none: where it was).
    std::optional<QRect> placement;

signals:
    // An add button was pressed: a source unit (kind Source) or a file of that kind.
    void addRequested(ItemKind kind);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowProperties(QTreeWidgetItem* node);
    void Commit(int row, int column);

    ProjectState& project_;
    QTreeWidget* tree_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QMenu* menu_ = nullptr;
    int slot_ = -1;       // the item whose properties the grid shows
    QString oldValue_;    // the text the current cell had when it was selected
    bool filling_ = false;
    bool largeImages_ = false;
};

// The six categories in their order, with the kind of item each holds.
struct ProjectCategory {
    const char* name;
    ItemKind kind;
};
inline constexpr ProjectCategory kProjectCategories[6] = {
    {"Source Code", ItemKind::Source}, {"Bitmaps", ItemKind::Bitmap},
    {"Sprites", ItemKind::Sprite},     {"Paths", ItemKind::Path},
    {"Music", ItemKind::Music},        {"Sounds", ItemKind::Sound},
};

}  // namespace tw
