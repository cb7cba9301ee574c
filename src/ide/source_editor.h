#pragma once
// The source editor window: the project's main code unit in a plain-text editor, the message
// pane below it that receives the test and run reports, the progress gauge, the status bar, the
// tool panel and the two pop-up menus. It knows the project only through the bytes of its main
// unit; the main window connects its requests (test, run, save, open) to the glue.

#include <QMainWindow>
#include <QElapsedTimer>
#include <QRect>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ide/code_editor.h"
#include "project/check_and_run.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;

namespace tw {

class SourceEditorWindow;

// The message pane as the glue writes to it.
class EditorMessagePane : public MessagePane {
public:
    explicit EditorMessagePane(SourceEditorWindow& window) : window_(window) {}
    void AddLine(std::string_view line) override;
    void AddLineAt(std::string_view line, int sourceLine) override;
    void Clear() override;
    void CaretToStart() override;

private:
    SourceEditorWindow& window_;
};

// The gauge as the test before a run moves it: shown in the stage's colour, moved, hidden; the
// windows repaint at most every 100 ms meanwhile.
class EditorGauge : public ProgressSink {
public:
    explicit EditorGauge(QProgressBar& gauge) : gauge_(gauge) {}
    void Show(int32_t colour, int maximum) override;
    void Set(int position) override;
    void Hide() override;
    void Pump() override;

private:
    void Repaint();
    QProgressBar& gauge_;
    QElapsedTimer sinceRepaint_;
};

class SourceEditorWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit SourceEditorWindow(QWidget* parent = nullptr);

    // Loads the main unit's bytes (each byte one Latin-1 character) and shows the window with
    // the project's caption; the editor is clean afterwards.
    void RefreshDisplay(const std::vector<uint8_t>& source, const std::string& fileName);
    // The text as bytes, each character written back as its Latin-1 byte; lines end as they
    // did in what was loaded (CR LF when it held one, else LF).
    std::vector<uint8_t> SourceBytes() const;
    // The editor's text as lines, and back (the indentation tools work on lines).
    std::vector<std::string> Lines() const;

    bool Modified() const;
    void SetModified(bool modified);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);

    // The two indentation tools, on every line; the caret stays where it was.
    void AutoIndentLines();
    void RemoveIndentLines();

    // The message pane (visible exactly while it holds text). A line about a place in the
    // source keeps its 0-based source line (-1: none) and leads to it.
    EditorMessagePane& Pane() { return pane_; }
    void AddMessage(const QString& line, int sourceLine = -1);
    void ClearMessages();
    QString Messages() const;
    bool MessagesVisible() const;
    // The source line of the pane's line `paneLine` (0-based), or -1.
    int MessageSourceLine(int paneLine) const;
    QPlainTextEdit* MessageView() const { return messages_; }

    // Errors lead to their line. Each moves the caret to the start of the line, scrolls it into
    // view and marks it as the error line (until the text changes or another line is marked);
    // false when there is no such line.
    // - the line of a pane's line (double-click, "&View Source Line": the pane's caret line);
    bool ViewSourceLine(int paneLine);
    // - the `number`th (from 1) pane line that leads to a line ("&Goto Error Number");
    bool GoToErrorNumber(int number);
    // - the next such pane line after the pane's caret, from the top after the last ("&Goto
    //   Next Error"); the pane's caret goes to it;
    bool GoToNextError();
    // - a source line (0-based), as after a run-time error's box.
    bool ShowErrorLine(int sourceLine);
    // How many errors the pane leads to (each once, however many lines its message takes).
    int ErrorCount() const;
    // The marked error line (0-based), or -1.
    int ErrorLine() const { return errorLine_; }
    // The caret to the start of a line (0-based) without marking it ("&Goto Line Number").
    bool GoToLine(int line);
    int LineCount() const;

    // Debugging. Breakpoints are on 0-based lines ("Add breakpoint @ current line" and a click
    // in the gutter set or clear one); a paused run's line is highlighted and marked in the
    // gutter (-1: none).
    std::set<int> Breakpoints() const;
    void SetBreakpoints(const std::set<int>& lines);
    void ToggleBreakpointAtCaret();
    void ShowExecutionLine(int line);
    int ExecutionLine() const;
    int CaretLine() const;

    // The test and run buttons, on or off (the glue turns them off while it works).
    void SetTestAndRunEnabled(bool enabled);

    QPlainTextEdit* Editor() const { return editor_; }
    CodeEditor* Code() const { return editor_; }
    QLabel* StatusPanel(int i) const { return status_[i]; }
    QProgressBar* Gauge() const { return gauge_; }
    ProgressSink& Progress() { return *progress_; }
    QMenu* EditorMenu() const { return editorMenu_; }
    QToolButton* Button(const QString& hint) const;

    // Where the window goes each time it is shown (none: where it was).
    std::optional<QRect> placement;

signals:
    void testRequested();
    void runRequested();
    void saveRequested();
    void openRequested();
    // The text changed and the editor is modified: the project is modified and its main unit
    // holds `size` bytes.
    void sourceChanged(bool modified, int size);
    // The user switched the syntax colouring on or off ("Syntax &Colouring").
    void colouringChanged(bool on);
    // The user set or cleared a breakpoint.
    void breakpointsChanged();
    // "&Run To Cusor": run (or go on) until the caret's line.
    void runToCursorRequested(int line);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildTools();
    void BuildMenus();
    void ReplaceLines(const std::vector<std::string>& lines);
    void OnTextChanged();
    bool MoveToLine(int line);
    void UpdateHighlights();
    bool eventFilter(QObject* watched, QEvent* event) override;

    CodeEditor* editor_ = nullptr;
    QPlainTextEdit* messages_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    std::unique_ptr<EditorGauge> progress_;
    QLabel* status_[4] = {};
    QMenu* editorMenu_ = nullptr;
    QMenu* messageMenu_ = nullptr;
    QAction* readOnlyAction_ = nullptr;
    QAction* messageViewAction_ = nullptr;
    QAction* colouringAction_ = nullptr;
    std::vector<QToolButton*> buttons_;
    bool crlf_ = false;
    std::vector<int> messageLines_;  // per pane line, its source line or -1
    int errorLine_ = -1;
    EditorMessagePane pane_{*this};
};

// The status bar's contact line.
inline constexpr const char* kEditorContactLine = "Tarnwick - https://tarnwick.example.org";

}  // namespace tw
