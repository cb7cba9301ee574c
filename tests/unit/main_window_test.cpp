// The main window on Qt's offscreen platform: the enable rules, the save prompt, saving and
// opening, testing and running, and the height rule.

#include <gtest/gtest.h>

#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>

#include "ide/main_window.h"

namespace tw {
namespace {

struct Window {
    Window() {
        window.askSave = [this] {
            ++asked;
            return answer;
        };
        window.chooseSaveFile = [this] { return savePath; };
        window.chooseOpenFile = [this] { return openPath; };
        window.tell = [this](MessageKind, const QString& text) { told.push_back(text); };
    }
    MemoryFlags flags;
    MainWindow window{flags};
    SaveAnswer answer = SaveAnswer::Cancel;
    int asked = 0;
    QString savePath, openPath;
    QStringList told;
};

TEST(MainWindow, TheControlsNeedAnOpenProjectInTheEditor) {
    Window w;
    w.window.UpdateToolBar();
    EXPECT_FALSE(w.window.Action("&Run")->isEnabled());
    EXPECT_TRUE(w.window.Menu("&Run")->isEnabled());
    EXPECT_FALSE(w.window.Button("Save Project")->isEnabled());
    EXPECT_FALSE(w.window.Button("Test and run project")->isEnabled());
    QMenu* file = w.window.Menu("&File");
    emit file->aboutToShow();
    EXPECT_FALSE(w.window.Action("&Save")->isEnabled());
    w.window.NewProjectCommand();
    w.window.UpdateToolBar();
    EXPECT_TRUE(w.window.Button("Save Project")->isEnabled());
    EXPECT_TRUE(w.window.Button("Test project for errors")->isEnabled());
    emit file->aboutToShow();
    EXPECT_TRUE(w.window.Action("&Save")->isEnabled());
    QMenu* run = w.window.Menu("&Run");
    emit run->aboutToShow();
    EXPECT_TRUE(w.window.Action("&Run")->isEnabled());
    EXPECT_FALSE(w.window.Action("&Build All")->isEnabled());
    // Cut and copy need a selection.
    emit w.window.Menu("&Edit")->aboutToShow();
    EXPECT_FALSE(w.window.Action("&Copy")->isEnabled());
    w.window.Editor().Editor()->selectAll();
    emit w.window.Menu("&Edit")->aboutToShow();
    EXPECT_TRUE(w.window.Action("&Copy")->isEnabled());
}

TEST(MainWindow, ANewProjectAsksBeforeTheModifiedOneGoes) {
    Window w;
    w.window.NewProjectCommand();
    QTest::keyClick(w.window.Editor().Editor(), Qt::Key_A);
    EXPECT_TRUE(w.window.Project().projectModified);
    w.window.NewProjectCommand();  // Cancel
    EXPECT_EQ(w.asked, 1);
    EXPECT_TRUE(w.window.Project().projectModified);
    EXPECT_TRUE(w.window.Project().projectOpen);
    // Save with no file name and a cancelled dialog writes nothing; No closes unsaved.
    EXPECT_FALSE(w.window.SaveCommand());
    w.answer = SaveAnswer::No;
    w.window.NewProjectCommand();
    EXPECT_FALSE(w.window.Project().projectModified);
    EXPECT_TRUE(w.told.isEmpty());
}

TEST(MainWindow, SavesAndOpensTheEditorsText) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("tarnwick_main_window_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Window w;
    w.window.NewProjectCommand();
    w.window.Editor().Editor()->setPlainText("OUTPUTDEBUG \"saved\"\nQUIT\n");
    w.savePath = QString::fromStdString((dir / "saved.twp").string());
    ASSERT_TRUE(w.window.SaveCommand());
    EXPECT_EQ(w.window.Editor().windowTitle(), "Project : saved.twp");
    EXPECT_FALSE(w.window.Project().projectModified);
    Window other;
    other.openPath = w.savePath;
    other.window.OpenCommand();
    EXPECT_EQ(other.window.Editor().Editor()->toPlainText(), "OUTPUTDEBUG \"saved\"\nQUIT\n");
    // A save that cannot be written says so and keeps the old name.
    w.savePath = QString::fromStdString((dir / "no such folder" / "x.twp").string());
    EXPECT_FALSE(w.window.SaveAsCommand());
    ASSERT_EQ(w.told.size(), 1);
    EXPECT_TRUE(w.told[0].startsWith("Error! Tarnwick failed to save your project"));
    EXPECT_EQ(w.window.Project().fileName, "saved.twp");
    std::filesystem::remove_all(dir);
}

TEST(MainWindow, TestsAndRunsTheProject) {
    Window w;
    w.window.NewProjectCommand();
    w.window.Debug().show();
    w.window.Debug().Clear();
    w.window.Editor().Editor()->setPlainText("OUTPUTDEBUG 6 * 7\nQUIT\n");
    w.window.TestCommand();
    EXPECT_FALSE(w.window.Editor().MessagesVisible());
    w.window.RunCommand();
    EXPECT_EQ(w.window.Debug().Text(), "42");
    EXPECT_TRUE(w.window.Editor().Messages().startsWith("Program Execution Concluded : 2 "));
    EXPECT_TRUE(w.window.Editor().isVisible());
    EXPECT_TRUE(w.window.Project().projectOpen);
    EXPECT_FALSE(w.window.Running());
    EXPECT_TRUE(w.window.Button("Test and run project")->isEnabled());
    w.window.Editor().Editor()->setPlainText("HOME 5\n");
    w.window.TestCommand();
    // Testing does not clear the pane: the failure follows the run's statistics.
    EXPECT_TRUE(w.window.Editor().Messages().split('\n').last().startsWith(
        "Testing Error : Project : "));
}

TEST(MainWindow, StaysAStripAtMost110PixelsHigh) {
    Window w;
    w.window.resize(800, 400);
    EXPECT_LE(w.window.height(), 110);
}

}  // namespace
}  // namespace tw
