// The main window on Qt's offscreen platform: the enable rules, the save prompt, saving and
// opening, testing and running, and the height rule.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <fstream>
#include <set>

#include "ide/environment.h"
#include "ide/main_window.h"
#include "platform/headless/headless_host.h"

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
        window.tellTitled = [this](const QString& title, const QString& text) {
            told.push_back(title + "|" + text);
        };
        window.showLogo = [this] { ++logos; };
        window.showTips = [this] { ++tips; };
        window.openUrl = [this](const QUrl& url) { opened.push_back(url.toString()); };
        // Recovery copies go to a folder of the test's own, never the user's.
        window.recoveryFolder =
            QString::fromStdString((std::filesystem::temp_directory_path() /
                                    ("tarnwick_recovery_" + std::to_string(getpid())))
                                       .string());
        window.askRestore = [this] {
            ++restoreAsked;
            return restoreAnswer;
        };
    }
    MemoryFlags flags;
    MainWindow window{flags};
    SaveAnswer answer = SaveAnswer::Cancel;
    int asked = 0;
    QString savePath, openPath;
    QStringList told, opened;
    int logos = 0, tips = 0;
    int restoreAsked = 0;
    bool restoreAnswer = true;
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
    EXPECT_TRUE(
        w.window.Editor().Messages().split('\n').last().startsWith("Testing Error : Project : "));
}

TEST(MainWindow, ARunTimeErrorLeadsToItsLineAndTheSearchMenuGoesToLines) {
    Window w;
    w.window.NewProjectCommand();
    w.window.Editor().Editor()->setPlainText("LET A = 0\nIF A = 0 THEN LET B = 1 / A\nSTOP\n");
    w.window.RunCommand();
    EXPECT_EQ(w.window.Editor().ErrorLine(), 1);
    EXPECT_EQ(w.window.Editor().Editor()->textCursor().blockNumber(), 1);
    // "&Goto Line Number" asks for a number (cancelled: nothing moves).
    std::optional<int> answer = 3;
    QString askedTitle;
    w.window.askNumber = [&](const QString& title, const QString&, int minimum, int maximum) {
        askedTitle = title;
        EXPECT_EQ(minimum, 1);
        // The text's lines, the empty last one too.
        if (title == "Goto Line Number") {
            EXPECT_EQ(maximum, 4);
        }
        return answer;
    };
    w.window.Action("&Goto Line Number")->trigger();
    EXPECT_EQ(askedTitle, "Goto Line Number");
    EXPECT_EQ(w.window.Editor().Editor()->textCursor().blockNumber(), 2);
    EXPECT_EQ(w.window.Editor().ErrorLine(), -1);
    answer.reset();
    w.window.Action("&Goto Line Number")->trigger();
    EXPECT_EQ(w.window.Editor().Editor()->textCursor().blockNumber(), 2);
    // The error items are enabled while the pane leads to an error.
    QMenu* search = w.window.Menu("&Search");
    emit search->aboutToShow();
    EXPECT_FALSE(w.window.Action("&Goto Next Error")->isEnabled());
    w.window.Editor().Editor()->setPlainText("LET A = 1\nHOME 5\n");
    w.window.TestCommand();
    emit search->aboutToShow();
    EXPECT_TRUE(w.window.Action("&Goto Next Error")->isEnabled());
    w.window.Action("&Goto Next Error")->trigger();
    EXPECT_EQ(w.window.Editor().ErrorLine(), 1);
    answer = 2;
    w.window.Action("&Goto Error Number")->trigger();
    EXPECT_EQ(w.told.last(), "There is no error number 2.");
    // Undo is offered once there is something to undo.
    QMenu* edit = w.window.Menu("&Edit");
    emit edit->aboutToShow();
    EXPECT_FALSE(w.window.Action("&Undo")->isEnabled());
    w.window.Editor().Editor()->insertPlainText("X");
    emit edit->aboutToShow();
    EXPECT_TRUE(w.window.Action("&Undo")->isEnabled());
    w.window.Action("&Undo")->trigger();
    EXPECT_EQ(w.window.Editor().Editor()->toPlainText(), "LET A = 1\nHOME 5\n");
}

constexpr const char* kDebugged =
    "LET A = 1\n"       // 0
    "GOSUB SUB1\n"      // 1
    "CALL P(2)\n"       // 2
    "OUTPUTDEBUG A\n"   // 3
    "STOP\n"            // 4
    "SUB1:\n"           // 5
    "LET A = A + 10\n"  // 6
    "RETURN\n"          // 7
    "PROCEDURE P(X)\n"  // 8
    "LET A = A + X\n"   // 9
    "ENDPROC\n";        // 10

// The display window's host, with keys for the debugger pressed by the test.
class KeyedHost : public HeadlessHost {
public:
    explicit KeyedHost(std::deque<int>& keys) : HeadlessHost(Options()), keys_(keys) {}
    static Options Options() {
        HeadlessHost::Options o;
        o.virtualTime = true;  // 100 ms of the run are 100 passes
        o.messages = nullptr;
        o.debug = nullptr;
        return o;
    }
    int TakeDebugKey() override {
        if (keys_.empty()) return 0;
        const int key = keys_.front();
        keys_.pop_front();
        return key;
    }
    void KeepWindowAlive() override { ++kept; }
    bool DebugShown() override { return true; }
    void DebugOutput(std::string_view line) override { output.emplace_back(line); }
    static inline int kept = 0;
    static inline std::vector<std::string> output;

private:
    std::deque<int>& keys_;
};

TEST(MainWindow, ThePauseButtonAndTheDisplayWindowsKeysPauseAndStepAPlainRun) {
    Window w;
    w.window.NewProjectCommand();
    SourceEditorWindow& editor = w.window.Editor();
    editor.Editor()->setPlainText(
        "LET A = 0\nL:\nLET A = A + 1\nIF A < 30000 THEN GOTO L\nOUTPUTDEBUG A\nSTOP\n");
    ASSERT_TRUE(editor.Breakpoints().empty());
    std::deque<int> keys{kDebugKeyF8};  // F8 in the display window, as the run goes on
    w.window.makeRunHost = [&keys] { return std::make_unique<KeyedHost>(keys); };
    std::vector<int> lines;
    w.window.whilePaused = [&] {
        lines.push_back(editor.ExecutionLine());
        if (lines.size() == 1) {
            // Paused inside the loop: F7 in the display window runs one row.
            keys.push_back(kDebugKeyF7);
        } else {
            // F9 goes on to the end (a key after it waits for a pause that never comes).
            keys.push_back(kDebugKeyF9);
            keys.push_back(kDebugKeyF7);
        }
        w.window.TakeDisplayKeys();
        EXPECT_EQ(keys.size(), lines.size() == 1 ? 0u : 1u);
    };
    w.window.RunCommand();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_GE(lines[0], 1);
    EXPECT_LE(lines[0], 3);
    EXPECT_NE(lines[1], lines[0]);  // one row on
    EXPECT_EQ(KeyedHost::output, (std::vector<std::string>{"30000"}));
    EXPECT_GT(KeyedHost::kept, 0);

    // The pause button does the same.
    lines.clear();
    keys.clear();
    KeyedHost::output.clear();
    bool pressed = false;
    w.window.makeRunHost = [&] {
        // The button is pressed as the run starts; the run has no debugger until then.
        QTimer::singleShot(0, &w.window, [&] {
            EXPECT_EQ(w.window.CurrentDebugger(), nullptr);
            w.window.PauseCommand();
            pressed = true;
        });
        return std::make_unique<KeyedHost>(keys);
    };
    w.window.whilePaused = [&] {
        lines.push_back(editor.ExecutionLine());
        w.window.ContinueCommand();
    };
    w.window.RunCommand();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(KeyedHost::output, (std::vector<std::string>{"30000"}));
}

TEST(MainWindow, F1ShowsTheEntryOfTheWordAtTheCaret) {
    Window w;
    w.window.NewProjectCommand();
    SourceEditorWindow& editor = w.window.Editor();
    editor.show();
    editor.Editor()->setPlainText("LET A = 0\nFOR I = 1 TO 3\nNEXT I\nSTOP\n");
    editor.GoToLine(1);
    QAction* keywordSearch = w.window.Action("&Keyword Search");
    ASSERT_NE(keywordSearch, nullptr);
    EXPECT_EQ(keywordSearch->shortcut(), QKeySequence("F1"));
    keywordSearch->trigger();
    EXPECT_TRUE(w.window.Help().isVisible());
    EXPECT_TRUE(w.window.Help().Page()->toPlainText().startsWith("FOR  (command, Loops)"));
    // On a word with no entry, the search.
    editor.Editor()->setPlainText("ZORK 1\n");
    editor.GoToLine(0);
    EXPECT_FALSE(w.window.HelpOnCaretWord());
    EXPECT_EQ(w.window.Help().Search()->text(), "ZORK");
    // The contents: the first page.
    w.window.Action("&Contents")->trigger();
    EXPECT_TRUE(w.window.Help().Page()->toPlainText().contains("traps"));
}

TEST(MainWindow, ABreakpointPausesTheRunAndTheDebuggerStepsThroughIt) {
    Window w;
    w.window.NewProjectCommand();
    w.window.Debug().show();
    w.window.Debug().Clear();
    SourceEditorWindow& editor = w.window.Editor();
    editor.Editor()->setPlainText(kDebugged);
    // A breakpoint at the caret's line by the editor's button.
    editor.GoToLine(1);
    editor.Button("Add breakpoint @ current line")->click();
    EXPECT_EQ(editor.Breakpoints(), (std::set<int>{1}));
    std::vector<int> lines;
    QStringList watches, stack;
    w.window.whilePaused = [&] {
        EXPECT_TRUE(w.window.Paused());
        lines.push_back(editor.ExecutionLine());
        switch (lines.size()) {
            case 1:  // at the GOSUB: over it
                w.window.StepOverCommand();
                break;
            case 2:  // at the CALL: into it
                w.window.TraceIntoCommand();
                break;
            case 3:  // inside the procedure (its PROCEDURE row is passed by the call)
                w.window.ShowDebugTable(MainWindow::DebugView::Watches);
                w.window.ShowDebugTable(MainWindow::DebugView::CallStack);
                watches = w.window.DebugTable(MainWindow::DebugView::Watches).RowTexts();
                stack = w.window.DebugTable(MainWindow::DebugView::CallStack).RowTexts();
                w.window.ContinueCommand();
                break;
            default:
                w.window.ContinueCommand();
        }
    };
    w.window.RunCommand();
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 9}));
    EXPECT_EQ(w.window.Debug().Text(), "13");
    EXPECT_FALSE(w.window.Paused());
    EXPECT_EQ(editor.ExecutionLine(), -1);
    EXPECT_EQ(w.window.CurrentDebugger(), nullptr);
    EXPECT_TRUE(watches.contains("A | 11 | Integer | Global")) << watches.join("\n").toStdString();
    EXPECT_TRUE(watches.contains("X | 2 | Integer | Local (P)"))
        << watches.join("\n").toStdString();
    ASSERT_GE(stack.size(), 2);
    EXPECT_EQ(stack[0], "(paused here) | 10");
    EXPECT_EQ(stack[1], "CALL P | 3");  // called from line 3

    // Trace Into starts a run paused at its first statement; stopping there ends the run.
    lines.clear();
    w.window.Debug().Clear();
    w.window.whilePaused = [&] {
        lines.push_back(editor.ExecutionLine());
        w.window.StopCommand();
    };
    editor.SetBreakpoints({});
    w.window.TraceIntoCommand();
    EXPECT_EQ(lines, (std::vector<int>{0}));
    EXPECT_EQ(w.window.Debug().Text(), "");
    // Run to the cursor's line, inside the subroutine.
    lines.clear();
    w.window.whilePaused = [&] {
        lines.push_back(editor.ExecutionLine());
        w.window.ContinueCommand();
    };
    w.window.RunToCursorCommand(6);
    EXPECT_EQ(lines, (std::vector<int>{6}));
    w.window.Debug().Clear();
    // Without a breakpoint or a step, a run has no debugger and never pauses.
    lines.clear();
    w.window.RunCommand();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(w.window.Debug().Text(), "13");
}

TEST(MainWindow, BreakpointsAreKeptPerProjectInTheSettings) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("tarnwick_breakpoints_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Window w;
    w.window.NewProjectCommand();
    w.window.Editor().Editor()->setPlainText(kDebugged);
    w.savePath = QString::fromStdString((dir / "debugged.twp").string());
    ASSERT_TRUE(w.window.SaveAsCommand());
    w.window.Editor().GoToLine(6);
    w.window.Editor().ToggleBreakpointAtCaret();
    // A click in the gutter beside line 3 sets another one.
    CodeEditor& code = *w.window.Editor().Code();
    code.resize(400, 300);
    const QRect third = code.cursorRect(QTextCursor(code.document()->findBlockByNumber(2)));
    QTest::mouseClick(code.Gutter(), Qt::LeftButton, {}, QPoint(4, third.center().y()));
    EXPECT_EQ(w.window.Editor().Breakpoints(), (std::set<int>{2, 6}));
    // Another window over the same settings opens the project with them.
    MainWindow second(w.flags);
    second.tell = [](MessageKind, const QString&) {};
    ASSERT_TRUE(second.OpenPath(w.savePath));
    EXPECT_EQ(second.Editor().Breakpoints(), (std::set<int>{2, 6}));
    // They are in the settings, not in the project file.
    std::ifstream file(w.savePath.toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(bytes.find("Breakpoints"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(MainWindow, UnsavedChangesSurviveACrash) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tarnwick_crash_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const QString path = QString::fromStdString((dir / "game.twp").string());
    {
        Window w;
        w.window.NewProjectCommand();
        EXPECT_FALSE(w.window.WriteRecovery());  // nothing unsaved: no copy
        w.window.Editor().Editor()->setPlainText("OUTPUTDEBUG 1\n");
        w.savePath = path;
        ASSERT_TRUE(w.window.SaveAsCommand());
        w.window.Editor().Editor()->setPlainText("OUTPUTDEBUG 2\n");
        ASSERT_TRUE(w.window.WriteRecovery());
        EXPECT_TRUE(QFileInfo::exists(w.window.RecoveryPath()));
        // The window goes away without closing, as a killed process does.
    }
    Window w;
    w.window.StartUp("");
    EXPECT_EQ(w.restoreAsked, 1);
    EXPECT_EQ(w.window.Editor().Editor()->toPlainText(), "OUTPUTDEBUG 2\n");
    EXPECT_EQ(w.window.Project().filePath, path.toStdString());
    EXPECT_TRUE(w.window.Project().projectModified);
    EXPECT_EQ(w.window.Editor().windowTitle(), "Project : game.twp");
    EXPECT_FALSE(w.window.RecentProjects().join(" ").contains("recovery"));
    // The project file itself is as it was saved; saving now removes the copy.
    Window check;
    ASSERT_TRUE(check.window.OpenPath(path));
    EXPECT_EQ(check.window.Editor().Editor()->toPlainText(), "OUTPUTDEBUG 1\n");
    ASSERT_TRUE(w.window.SaveCommand());
    EXPECT_FALSE(QFileInfo::exists(w.window.RecoveryPath()));
    // A copy that the user declines is removed; a clean close leaves none.
    w.window.Editor().Editor()->setPlainText("OUTPUTDEBUG 3\n");
    ASSERT_TRUE(w.window.WriteRecovery());
    Window declines;
    declines.restoreAnswer = false;
    declines.window.StartUp("");
    EXPECT_EQ(declines.restoreAsked, 1);
    EXPECT_FALSE(QFileInfo::exists(w.window.RecoveryPath()));
    ASSERT_TRUE(w.window.WriteRecovery());
    w.answer = SaveAnswer::No;
    EXPECT_TRUE(w.window.close());
    EXPECT_FALSE(QFileInfo::exists(w.window.RecoveryPath()));
    std::filesystem::remove_all(dir);
}

TEST(MainWindow, ReopenListsTheLastEightProjects) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tarnwick_reopen_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Window w;
    QMenu* reopen = w.window.Menu("&ReOpen..");
    ASSERT_NE(reopen, nullptr);
    emit reopen->aboutToShow();
    ASSERT_EQ(reopen->actions().size(), 1);
    EXPECT_EQ(reopen->actions()[0]->text(), "No previous projects");
    EXPECT_FALSE(reopen->actions()[0]->isEnabled());
    // Ten saves: the last eight stay, the latest first; saving one again moves it to the top.
    for (int i = 0; i < 10; ++i) {
        w.window.NewProjectCommand();
        w.window.Editor().Editor()->setPlainText(QString("OUTPUTDEBUG %1\n").arg(i));
        w.savePath = QString::fromStdString((dir / ("p" + std::to_string(i) + ".twp")).string());
        ASSERT_TRUE(w.window.SaveAsCommand());
    }
    QStringList recent = w.window.RecentProjects();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_TRUE(recent[0].endsWith("p9.twp"));
    EXPECT_TRUE(recent[7].endsWith("p2.twp"));
    // Kept in the settings: another window over the same settings sees them.
    MainWindow second(w.flags);
    EXPECT_EQ(second.RecentProjects(), recent);
    emit reopen->aboutToShow();
    ASSERT_EQ(reopen->actions().size(), 8);
    EXPECT_TRUE(reopen->actions()[3]->text().startsWith("&4 p6.twp  ("));
    // Choosing one opens it (the open project is not modified: nothing is asked).
    reopen->actions()[3]->trigger();
    EXPECT_EQ(w.window.Editor().Editor()->toPlainText(), "OUTPUTDEBUG 6\n");
    EXPECT_TRUE(w.window.RecentProjects()[0].endsWith("p6.twp"));
    EXPECT_EQ(w.window.RecentProjects().size(), 8);
    std::filesystem::remove_all(dir);
}

TEST(MainWindow, StaysAStripAtMost110PixelsHigh) {
    Window w;
    w.window.resize(800, 400);
    EXPECT_LE(w.window.height(), 110);
}

TEST(MainWindow, EveryButtonHasItsIconAndTheTimerRuleCoversThePages) {
    Window w;
    w.window.UpdateToolBar();
    for (const char* hint :
         {"New project", "Open Project", "Save Project", "Close project", "Cut", "Copy", "Paste",
          "Select all", "Test project for errors", "Test and run project",
          "Display project information", "Find", "Insert bitmap into project",
          "View project information", "Pause execution", "Trace Into", "Step Over"}) {
        QAction* button = w.window.Button(hint);
        ASSERT_NE(button, nullptr) << hint;
        EXPECT_FALSE(button->icon().isNull()) << hint;
    }
    EXPECT_FALSE(w.window.Button("Find")->isEnabled());
    EXPECT_FALSE(w.window.Button("Insert sound into project")->isEnabled());
    EXPECT_TRUE(w.window.Button("New project")->isEnabled());
    w.window.NewProjectCommand();
    w.window.UpdateToolBar();
    EXPECT_TRUE(w.window.Button("Find")->isEnabled());
    EXPECT_TRUE(w.window.Button("Insert sound into project")->isEnabled());
    EXPECT_TRUE(w.window.Button("View project information")->isEnabled());
    // Stepping starts a run of an open project; pausing needs a run.
    EXPECT_TRUE(w.window.Button("Trace Into")->isEnabled());
    EXPECT_TRUE(w.window.Button("Step Over")->isEnabled());
    EXPECT_FALSE(w.window.Button("Pause execution")->isEnabled());
    // "Select all" copies, as the copy button does.
    w.window.Editor().Editor()->setPlainText("PRINT 1");
    QApplication::clipboard()->clear();
    QTextCursor all = w.window.Editor().Editor()->textCursor();
    all.select(QTextCursor::Document);
    w.window.Editor().Editor()->setTextCursor(all);
    w.window.Button("Select all")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "PRINT 1");
}

TEST(MainWindow, TheWebItemsOpenTheirAddresses) {
    Window w;
    w.window.Action("&Tarnwick Home Page")->trigger();
    w.window.Action("Tarnwick &Downloads")->trigger();
    w.window.Action("Tarnwick &Help!")->trigger();
    w.window.Action("Tarnwick &Developers")->trigger();
    EXPECT_EQ(w.opened,
              (QStringList{"https://tarnwick.example.org", "https://tarnwick.example.org/downloads",
                           "https://tarnwick.example.org/tutorials",
                           "https://tarnwick.example.org/developers"}));
}

TEST(MainWindow, StartUpShowsTheLogoThePagesOnceAndTheTips) {
    Window w;
    w.window.StartUp("");
    EXPECT_EQ(w.logos, 1);
    ASSERT_EQ(w.told.size(), 2);
    EXPECT_TRUE(w.told[0].contains("Alpha"));
    EXPECT_TRUE(w.told[1].startsWith("Example code is located under "));
    EXPECT_TRUE(w.told[1].endsWith("(These two messages are shown once)"));
    EXPECT_EQ(w.tips, 1);
    EXPECT_FALSE(w.window.Project().projectOpen);
    EXPECT_TRUE(w.window.isEnabled());
    // The pages show once; tips switched off stay off.
    w.flags.WriteFlag(kTipsSection, kStartupFlag, false);
    w.window.StartUp("");
    EXPECT_EQ(w.told.size(), 2);
    EXPECT_EQ(w.tips, 1);
}

TEST(MainWindow, StartUpOpensTheProjectOnTheCommandLine) {
    QTemporaryDir dir;
    Window first;
    first.window.NewProjectCommand();
    first.window.Editor().Editor()->setPlainText("QUIT\n");
    first.savePath = dir.filePath("start.twp");
    ASSERT_TRUE(first.window.SaveCommand());

    Window w;
    w.flags.WriteFlag(kAlphaSection, kStartupFlag, true);
    w.window.StartUp(dir.filePath("start.twp"));
    EXPECT_TRUE(w.window.Project().projectOpen);
    EXPECT_EQ(w.window.Editor().Editor()->toPlainText(), "QUIT\n");
    EXPECT_TRUE(w.told.isEmpty());
    EXPECT_EQ(w.tips, 1);
}

TEST(MainWindow, AProjectThatCannotBeOpenedAtStartUpSkipsThePagesAndTips) {
    Window w;
    w.window.StartUp("/nonexistent/folder/game.twp");
    ASSERT_EQ(w.told.size(), 1);
    EXPECT_EQ(w.told[0], QString(kFileIoErrorTitle) + "|" + kFileIoErrorText);
    EXPECT_TRUE(w.told[0].endsWith("application. "));
    EXPECT_EQ(w.tips, 0);
    EXPECT_FALSE(w.flags.ReadFlag(kAlphaSection, kStartupFlag, false));
}

TEST(MainWindow, TheEditorAndTheViewShareTheScreenBelowTheStrip) {
    Window w;
    const QRect screen(0, 0, 1200, 900);
    w.window.resize(1200, 100);
    w.window.PlaceWindows(screen);
    EXPECT_EQ(w.window.pos(), QPoint(0, 0));
    EXPECT_EQ(w.window.width(), 1200);
    const QRect strip = w.window.frameGeometry();
    w.window.NewProjectCommand();
    const QRect editor = w.window.Editor().geometry();
    EXPECT_EQ(editor.left(), 0);
    EXPECT_EQ(editor.top(), strip.bottom() + 1);
    EXPECT_EQ(editor.height(), 900 - strip.height() - 5);
    EXPECT_EQ(w.window.View().geometry().left(), editor.right() + 1);
    EXPECT_EQ(w.window.View().geometry().right(), 1199);
}

TEST(MainWindow, ARunTakesNoInputAndTheTestMovesTheGauge) {
    Window w;
    w.window.NewProjectCommand();
    w.window.Editor().Editor()->setPlainText("LET A = 1\nQUIT\n");
    w.window.Editor().Editor()->setFocus();
    // A key that arrives while the program runs does not reach the editor.
    QCoreApplication::postEvent(w.window.Editor().Editor(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
    w.window.RunCommand();
    EXPECT_EQ(w.window.Editor().Editor()->toPlainText(), "LET A = 1\nQUIT\n");
    EXPECT_TRUE(w.window.KeyBuffer()->text().isEmpty());
    EXPECT_GT(w.window.Editor().Gauge()->value(), 0);
    EXPECT_FALSE(w.window.Editor().Gauge()->isVisible());
    // Afterwards keys reach it again.
    QTest::keyClick(w.window.Editor().Editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w.window.Editor().Editor(), Qt::Key_Y);
    EXPECT_TRUE(w.window.Editor().Editor()->toPlainText().endsWith("y"));
}

TEST(SettingsFlags, KeepTheFlagsInTheUsersSettings) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QCoreApplication::setOrganizationName("Tarnwick");
    SettingsFlags flags;
    EXPECT_TRUE(flags.ReadFlag(kTipsSection, kStartupFlag, true));
    EXPECT_FALSE(flags.ReadFlag(kAlphaSection, kStartupFlag, false));
    flags.WriteFlag(kTipsSection, kStartupFlag, false);
    flags.WriteFlag(kAlphaSection, kStartupFlag, true);
    SettingsFlags again;
    EXPECT_FALSE(again.ReadFlag(kTipsSection, kStartupFlag, true));
    EXPECT_TRUE(again.ReadFlag(kAlphaSection, kStartupFlag, false));
    std::ifstream file((dir.path() + "/Tarnwick/Tarnwick.conf").toStdString());
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("[Alpha]\nStartup=true"), std::string::npos) << text;
    EXPECT_NE(text.find("[Tips]\nStartup=false"), std::string::npos) << text;
    // Lists too.
    EXPECT_TRUE(flags.ReadList(kProjectsSection, kRecentList).empty());
    flags.WriteList(kProjectsSection, kRecentList, {"/a/b.twp", "/c d/e.twp"});
    EXPECT_EQ(again.ReadList(kProjectsSection, kRecentList),
              (std::vector<std::string>{"/a/b.twp", "/c d/e.twp"}));
}

}  // namespace
}  // namespace tw
