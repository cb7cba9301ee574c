// Pictures of the environment for its documentation, taken on an X display (Xvfb): an error in
// the message pane that leads to its line, a run paused at a breakpoint with its watches and
// stacks beside the display window, and the offer to restore unsaved changes after a crash.
// Each state is checked before its picture is taken: the exit status is 0 only when every one
// was as expected.
//
//   environment_screenshots FOLDER     (writes FOLDER/errors.png, debugger.png, recovery.png)

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>

#include "ide/main_window.h"
#include "ide/source_editor.h"
#include "platform/flags.h"

namespace tw {
namespace {

int failures = 0;

void Expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "environment_screenshots: not as expected: %s\n", what);
        ++failures;
    }
}

// Lets the windows settle and paint (and the display window show its frame), then takes the
// whole screen.
void Shoot(const QString& path) {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0);
    Expect(!picture.isNull() && picture.save(path), "the picture is written");
}

constexpr const char* kWithAnError =
    "REM Falling stars\n"
    "LET X = 100\n"
    "LET Y = 0\n"
    "FOR I = 1 TO 10\n"
    "LET Y = Y + 8\n"
    "HOME 5\n"
    "NEXT I\n"
    "STOP\n";

constexpr const char* kDebugged =
    "REM Scores, drawn as bars\n"
    "LET SCORE = 0\n"
    "CLS 0\n"
    "BRUSH 2\n"
    "FOR TURN = 1 TO 3\n"
    "GOSUB BONUS\n"
    "CALL ADDPOINTS(TURN * 10)\n"
    "INK 249 + TURN\n"
    "BAR 150 * TURN, 400 - SCORE * 3 TO 150 * TURN + 100, 400\n"
    "NEXT TURN\n"
    "OUTPUTDEBUG SCORE\n"
    "QUIT\n"
    "BONUS:\n"
    "LET SCORE = SCORE + 1\n"
    "RETURN\n"
    "PROCEDURE ADDPOINTS(PTS)\n"
    "LOCAL TWICE\n"
    "LET TWICE = PTS * 2\n"
    "LET SCORE = SCORE + TWICE\n"
    "ENDPROC\n";

// Where the windows of a picture go (there is no window manager to place them).
void Place(QWidget& window, int x, int y, int width, int height) {
    window.setGeometry(x, y, width, height);
    window.show();
}

int Run(const QString& folder) {
    QDir().mkpath(folder);
    // A box nobody answers would hold the pictures up for ever.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            std::fprintf(stderr, "environment_screenshots: %s left open\n",
                         box->metaObject()->className());
            Expect(false, "no box is left open");
            box->close();
        }
    });
    watchdog.start(20000);
    QTemporaryDir data;
    MemoryFlags flags;
    MainWindow window(flags);
    window.recoveryFolder = data.path();
    window.showLogo = [] {};
    window.showTips = [] {};
    window.tell = [](MessageKind, const QString&) {};
    window.askSave = [] { return SaveAnswer::No; };
    window.show();
    window.NewProjectCommand();
    SourceEditorWindow& editor = window.Editor();
    // On a 1920 x 1080 screen the display window (800 x 600) opens in the middle: the editor
    // goes to its left, the debugger's tables to its right, the project view below them.
    window.setGeometry(0, 0, 1920, 110);
    Place(editor, 0, 130, 555, 930);
    Place(window.View(), 1370, 700, 545, 360);

    // An error in the pane, double-clicked: the editor's caret goes to its line, marked.
    editor.Editor()->setPlainText(kWithAnError);
    window.TestCommand();
    Expect(editor.ErrorCount() == 1, "the test finds one error");
    QPlainTextEdit* pane = editor.MessageView();
    const QRect first = pane->cursorRect(QTextCursor(pane->document()->firstBlock()));
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, first.center());
    Expect(editor.ErrorLine() == 5, "the double-click leads to line 6");
    Shoot(folder + "/errors.png");

    // A breakpoint inside the procedure; at the pause, the watches and the call stack.
    editor.Editor()->setPlainText(kDebugged);
    editor.SetBreakpoints({18});
    int pauses = 0;
    window.whilePaused = [&] {
        ++pauses;
        if (pauses == 2) {
            window.ShowDebugTable(MainWindow::DebugView::Watches);
            window.ShowDebugTable(MainWindow::DebugView::CallStack);
            Place(window.DebugTable(MainWindow::DebugView::Watches), 1370, 130, 545, 330);
            Place(window.DebugTable(MainWindow::DebugView::CallStack), 1370, 490, 545, 180);
            Expect(editor.ExecutionLine() == 18, "the run pauses at line 19");
            const QStringList watches =
                window.DebugTable(MainWindow::DebugView::Watches).RowTexts();
            Expect(watches.contains("TWICE | 40 | Integer | Local (ADDPOINTS)"),
                   "the watches show the procedure's local variable");
            Shoot(folder + "/debugger.png");
        }
        window.ContinueCommand();
    };
    window.RunCommand();
    Expect(pauses == 3, "the breakpoint stops each of the three rounds");

    // Unsaved changes, a recovery copy, and the next start's offer to restore them.
    editor.Editor()->setPlainText(QString(kDebugged) + "REM not saved yet\n");
    Expect(window.WriteRecovery(), "a recovery copy is written");
    MainWindow next(flags);
    next.recoveryFolder = data.path();
    next.askSave = [] { return SaveAnswer::No; };
    next.tell = [](MessageKind, const QString& text) {
        std::fprintf(stderr, "environment_screenshots: told: %s\n", qPrintable(text));
        ++failures;
    };
    next.tellTitled = [](const QString& title, const QString& text) {
        std::fprintf(stderr, "environment_screenshots: told: %s: %s\n", qPrintable(title),
                     qPrintable(text));
        ++failures;
    };
    next.show();
    // The window's own question, answered once its picture is taken.
    QTimer::singleShot(500, &next, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        Expect(box != nullptr, "the restore is offered");
        Shoot(folder + "/recovery.png");
        if (box) box->button(QMessageBox::Yes)->click();
    });
    Expect(next.OfferRecovery(), "the copy is restored");
    next.close();
    window.close();
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: environment_screenshots FOLDER\n");
        return 64;
    }
    return tw::Run(QString::fromLocal8Bit(argv[1]));
}
