#pragma once
// The environment's main window: a strip across the top of the screen with the main menu, the
// tool bar and the tool pages. It owns the project and the other windows, and carries out the
// commands: new, open, save, save as, close, exit, test, run, add files.

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "ide/auxiliary_windows.h"
#include "ide/icons.h"
#include "ide/project_view.h"
#include "ide/source_editor.h"
#include "interpreter/random.h"
#include "platform/flags.h"
#include "platform/host.h"
#include "project/check_and_run.h"
#include "project/debugging.h"

class QEventLoop;
class QLineEdit;
class QTabWidget;
class QUrl;

namespace tw {

class RunInputGuard;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(FlagStore& flags, QWidget* parent = nullptr);
    ~MainWindow() override;

    ProjectState& Project() { return project_; }
    SourceEditorWindow& Editor() { return *editor_; }
    ProjectView& View() { return *view_; }
    DebugWindow& Debug() { return *debug_; }

    // The commands.
    void NewProjectCommand();
    void OpenCommand();
    bool OpenPath(const QString& path);
    // "&ReOpen..": the projects opened or saved last (at most eight, the latest first, kept in
    // the settings); choosing one closes the project and opens it.
    QStringList RecentProjects() const;
    void ReopenCommand(const QString& path);
    // The start-up of the environment, once the window is shown: the logo, the project named
    // on the command line (empty: none), the first-run pages and the tips.
    void StartUp(const QString& projectPath);
    // Where the window, the editor and the project view go on `screen` (the window takes the
    // screen's top edge and full width; the editor and the view share the rest below it).
    void PlaceWindows(const QRect& screen);
    bool SaveCommand();
    bool SaveAsCommand();
    bool CloseCommand();
    void TestCommand();
    void RunCommand();
    void AddCommand(ItemKind kind);
    void ShowInformation();

    // The enable rules: the tool bar's (every 50 ms) and each menu's when it opens.
    void UpdateToolBar();
    void UpdateMenu(QMenu* menu);
    bool Running() const { return running_; }

    QAction* Action(const QString& text) const;
    QMenu* Menu(const QString& title) const;
    QAction* Button(const QString& hint) const;
    // Debugging. A run starts with a debugger when a breakpoint is set or it starts by a step,
    // and gets one when it is paused (until then it has no observer at all); when the debugger
    // pauses it, the paused line is highlighted, the debugger's windows are filled and
    // `whilePaused` runs the environment until a command goes on with the run. The run's clock
    // stands still meanwhile.
    void TraceIntoCommand();            // F7: start by pausing at the first statement, or step
    void StepOverCommand();             // F8: step over a GOSUB or CALL
    void RunToCursorCommand(int line);  // run, or go on, until a line
    void ContinueCommand();             // F9 while paused
    void StopCommand();                 // a paused run stops (as Escape stops it)
    void PauseCommand();                // a running run pauses before its next statement
    // The display window's keys: while the run goes on, F8 pauses it; while it is paused, F7
    // traces into, F8 steps over and F9 goes on (and the window shows its last frame again
    // when uncovered). Looked at every 100 ms of a run and every kDisplayKeysInterval ms of a
    // pause.
    void TakeDisplayKeys();
    static constexpr int kDisplayKeysInterval = 30;
    bool Paused() const { return pausedIn_ != nullptr; }
    const Debugger* CurrentDebugger() const { return debugger_.get(); }
    // Called by the run: the debugger for a run of `program` (null: none), and a pause.
    RunObserver* MakeDebugger(const PreparedProgram& program);
    bool Pause(const Interpreter& in);
    std::function<void()> whilePaused;
    enum class DebugView : uint8_t { Breakpoints, CallStack, Watches, TimerEvents, Statistics };
    DebugTableWindow& DebugTable(DebugView view);
    void ShowDebugTable(DebugView view);

    // Recovery copies: while the project has unsaved changes, a copy of it is written every
    // kRecoveryInterval ms into `recoveryFolder` (the user's data folder); a save, a close of the
    // project or of the window removes it, and the next start offers to restore one that is
    // left (askRestore: true to restore). True when a copy was written, restored.
    static constexpr int kRecoveryInterval = 30000;
    QString recoveryFolder;
    std::function<bool()> askRestore;
    bool WriteRecovery();
    bool OfferRecovery();
    QString RecoveryPath() const;

    // The help window (none until asked for): "&Contents", "&Keyword Search" (F1: the entry of
    // the word under the editor's caret, or the search for it; true when it has one) and
    // "&Command List".
    HelpWindow& Help();
    void ShowHelp();
    bool HelpOnCaretWord();

    // The find window (one for the session) and the replace window (none until asked for).
    FindWindow& Find();
    ReplaceWindow* Replace() const { return replace_.get(); }

    // What the window asks and shows; the defaults are dialogs and message boxes, tests answer
    // themselves.
    std::function<SaveAnswer()> askSave;
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;
    std::function<QString(ItemKind)> chooseAddFile;
    std::function<void(MessageKind, const QString&)> tell;
    // Makes the host a run uses (its window, its message boxes, the debug window).
    // Makes the host a run uses (its window, its message boxes, the debug window); null when no
    // run can be made (the reason has been told).
    std::function<std::unique_ptr<Host>()> makeRunHost;
    // The logo and the tips window at start-up, shown modally.
    std::function<void()> showLogo;
    std::function<void()> showTips;
    // Asks for a whole number from `minimum` to `maximum` (none: cancelled).
    std::function<std::optional<int>(const QString& title, const QString& label, int minimum,
                                     int maximum)>
        askNumber;
    // A box with its own title, for the start-up's "File I/O Error..".
    std::function<void(const QString& title, const QString& text)> tellTitled;
    // Opens a web address in the user's browser.
    std::function<void(const QUrl&)> openUrl;
    // The edit box that holds the keyboard's focus while a program runs.
    QLineEdit* KeyBuffer() const { return keyBuffer_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    QAction* AddButton(QWidget* bar, IconId icon, const char* hint);
    void ShowProject();
    void Resume();
    void RemoveRecovery();
    void BreakpointsChanged();
    void LoadBreakpoints();
    void RefreshDebugWindows();
    void RememberProject(const QString& path);
    void BuildReopenMenu(QMenu* menu);
    // The editor's text goes into the project's main unit.
    void TakeEditorText();
    bool Save(const QString& path);

    FlagStore& flags_;
    ProjectState project_;
    Random random_;
    std::unique_ptr<SourceEditorWindow> editor_;
    std::unique_ptr<ProjectView> view_;
    std::unique_ptr<DebugWindow> debug_;
    std::unique_ptr<FindWindow> find_;
    std::unique_ptr<Debugger> debugger_;
    enum class DebugStart : uint8_t { None, StepInto, RunToLine };
    DebugStart debugStart_ = DebugStart::None;
    int debugTarget_ = -1;
    bool debuggerAsked_ = false;  // the run has been asked for its debugger once
    bool pauseWanted_ = false;    // a pause of a run that has no debugger yet
    Host* runHost_ = nullptr;     // the host of the run that goes on
    const Interpreter* pausedIn_ = nullptr;
    bool stopAtResume_ = false;
    QEventLoop* pauseLoop_ = nullptr;
    RunInputGuard* inputGuard_ = nullptr;
    std::array<std::unique_ptr<DebugTableWindow>, 5> debugTables_;
    std::unique_ptr<ReplaceWindow> replace_;
    std::unique_ptr<HelpWindow> help_;
    QTimer toolBarTimer_;
    QTimer recoveryTimer_;
    QWidget* panel_ = nullptr;  // ToolBar_Panel
    QTabWidget* pages_ = nullptr;
    QLineEdit* keyBuffer_ = nullptr;
    bool placed_ = false;
    std::vector<QAction*> buttons_;
    bool running_ = false;
};

// The host that carries the project model's messages to the window (loading, adding files).
class WindowMessages : public Host {
public:
    explicit WindowMessages(MainWindow& window) : window_(window) {}
    uint32_t TickCount() override { return 0; }
    bool KeyDown(int) override { return false; }
    bool ReadKeyState(uint8_t state[256]) override;
    void ShowMessage(MessageKind kind, std::string_view text) override;
    bool DebugShown() override { return false; }
    void DebugOutput(std::string_view) override {}
    void Trace(std::string_view) override {}

private:
    MainWindow& window_;
};

// The text of a carriage-return message as a message box shows it.
QString BoxText(std::string_view text);

// The web items of the "&Help" menu: caption and address.
struct WebItem {
    const char* caption;
    const char* address;
};
inline constexpr WebItem kWebItems[] = {
    {"Tarnwick &Developers", "https://tarnwick.example.org/developers"},
    {"&Tarnwick Home Page", "https://tarnwick.example.org"},
    {"Tarnwick &Downloads", "https://tarnwick.example.org/downloads"},
    {"Tarnwick &Help!", "https://tarnwick.example.org/tutorials"},
};

// The start-up's texts.
inline constexpr const char* kFileIoErrorTitle = "File I/O Error..";
inline constexpr const char* kFileIoErrorText =
    "Tarnwick was unable to open the requested project, please verify that the project file is "
    "a Tarnwick project and/or is not currently in use by another application. ";
QString WelcomePage();
// The second first-run page; `examples` is the folder that holds the examples.
QString ExamplesPage(const QString& examples);

}  // namespace tw
