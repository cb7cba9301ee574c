// The project view on Qt's offscreen platform: the tree's categories and the property grid's
// commit with the path "ID" rule.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTreeWidget>

#include "ide/project_view.h"

namespace tw {
namespace {

// A project with two bitmaps and two paths (IDs 1 and 2) besides its main unit.
struct Fixture {
    Fixture() {
        NewProject(project);
        project.projectOpen = true;
        auto add = [this](int slot, ItemKind kind, const char* name, const char* id) {
            ProjectItem& item = project.items[slot];
            item.used = true;
            item.kind = static_cast<uint8_t>(kind);
            item.SetName(name);
            project.properties[slot] = {"Name", name, "Comments", ""};
            if (id) {
                project.properties[slot].push_back("ID");
                project.properties[slot].push_back(id);
            }
        };
        add(1, ItemKind::Bitmap, "sky.bmp", nullptr);
        add(2, ItemKind::Path, "loop.pth", "1");
        add(3, ItemKind::Bitmap, "sea.bmp", nullptr);
        add(4, ItemKind::Path, "wave.pth", "2");
        view.tell = [this](const QString& text) { told.push_back(text); };
        view.RefreshDisplay();
    }
    // Selects the item of a category and edits row r's value to `text`.
    void Edit(int category, int child, int row, const QString& text) {
        view.Tree()->setCurrentItem(view.Tree()->topLevelItem(category)->child(child));
        view.Grid()->setCurrentCell(row, 1);
        view.Grid()->item(row, 1)->setText(text);
    }
    ProjectState project;
    ProjectView view{project};
    QStringList told;
};

TEST(ProjectView, TheTreeHasTheSixCategoriesInOrder) {
    Fixture f;
    QTreeWidget* tree = f.view.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 6);
    const char* names[] = {"Source Code", "Bitmaps", "Sprites", "Paths", "Music", "Sounds"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(tree->topLevelItem(i)->text(0), names[i]);
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
    ASSERT_EQ(tree->topLevelItem(1)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->text(0), "sea.bmp");
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->data(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(tree->topLevelItem(2)->childCount(), 0);  // empty categories stay
    EXPECT_EQ(tree->topLevelItem(3)->childCount(), 2);
    // The grid shows the selected item's properties; a category shows none.
    tree->setCurrentItem(tree->topLevelItem(3)->child(1));
    ASSERT_EQ(f.view.Grid()->rowCount(), 3);
    EXPECT_EQ(f.view.Grid()->item(2, 0)->text(), "ID");
    EXPECT_EQ(f.view.Grid()->item(2, 1)->text(), "2");
    tree->setCurrentItem(tree->topLevelItem(3));
    EXPECT_EQ(f.view.Grid()->rowCount(), 0);
}

TEST(ProjectView, APathsIdStaysAWholeNumberThatNoOtherPathHas) {
    Fixture f;
    f.Edit(3, 1, 2, "1");  // wave.pth's ID to loop.pth's
    EXPECT_EQ(f.told, QStringList{"Warning : Could not change this paths ID to the specified "
                                  "value. A path with this value currently exists!"});
    EXPECT_EQ(f.view.Grid()->item(2, 1)->text(), "2");
    EXPECT_EQ(f.project.properties[4][5], "2");
    f.Edit(3, 1, 2, "two");
    EXPECT_EQ(f.told.back(),
              "Path ID Must be a valid numerical value. It must be unique to each path.");
    EXPECT_EQ(f.project.properties[4][5], "2");
    // IDs are compared as texts: 01 is not 1.
    f.Edit(3, 0, 2, "01");
    EXPECT_EQ(f.project.properties[2][5], "01");
    EXPECT_TRUE(f.project.projectModified);
    EXPECT_EQ(f.told.size(), 2);
}

TEST(ProjectView, AnEmptiedCellGetsItsTextBackAndANameChangesOnlyItsLine) {
    Fixture f;
    f.Edit(1, 0, 1, "");
    EXPECT_EQ(f.view.Grid()->item(1, 1)->text(), "");  // comments were empty: stays empty
    f.Edit(1, 0, 0, "");
    EXPECT_EQ(f.view.Grid()->item(0, 1)->text(), "sky.bmp");
    f.Edit(1, 0, 0, "clouds.bmp");
    EXPECT_EQ(f.project.properties[1][1], "clouds.bmp");
    EXPECT_EQ(f.project.items[1].Name(), "sky.bmp");
    EXPECT_EQ(f.view.Tree()->topLevelItem(1)->child(0)->text(0), "sky.bmp");
    // The name column is not edited.
    EXPECT_FALSE(f.view.Grid()->item(0, 0)->flags() & Qt::ItemIsEditable);
}

TEST(ProjectView, SwappingTheImageSizeChangesTheIndent) {
    Fixture f;
    f.view.SwapImageSize();
    EXPECT_EQ(f.view.Tree()->indentation(), 25);
    EXPECT_EQ(f.view.Tree()->iconSize(), QSize(32, 32));
    f.view.SwapImageSize();
    EXPECT_EQ(f.view.Tree()->indentation(), 10);
}

}  // namespace
}  // namespace tw
