// The main window.
//
// Sections: the menus and the tool bar; the enable rules; the project commands; testing and
// running; the layout.

#include "ide/main_window.h"

#include <cstdlib>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>

#include "frontend/tokenize.h"
#include "platform/files.h"
#include "platform/headless/headless_host.h"
#ifdef TARNWICK_HAVE_SDL
#include "platform/sdl/sdl_host.h"
#endif

namespace tw {

QString BoxText(std::string_view text) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

bool WindowMessages::ReadKeyState(uint8_t state[256]) {
    std::fill(state, state + 256, uint8_t{0});
    return true;
}

void WindowMessages::ShowMessage(MessageKind kind, std::string_view text) {
    window_.tell(kind, BoxText(text));
}

// While a program runs the environment takes no input: clicks, keys, wheels and shortcuts are
// dropped, except keys for the key buffer (which holds the focus), input for a box the run shows
// and clicks on an allowed widget (the pause button). What was queued during the run is dropped
// as the guard ends. While the run is paused, everything goes through.
class RunInputGuard : public QObject {
public:
    explicit RunInputGuard(QLineEdit* keyBuffer) : keyBuffer_(keyBuffer) {
        previousFocus_ = QApplication::focusWidget();
        keyBuffer_->clear();
        keyBuffer_->setFocus();
        qApp->installEventFilter(this);
    }
    ~RunInputGuard() override {
        QCoreApplication::processEvents();
        qApp->removeEventFilter(this);
        keyBuffer_->clear();
        if (previousFocus_) previousFocus_->setFocus();
    }
    void Suspend(bool on) { suspended_ = on; }
    // A widget the mouse may still reach (the pause button of a run with a debugger).
    void Allow(QWidget* widget) { allowed_ = widget; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        // A paused run lets the user work in the environment.
        if (suspended_) return false;
        switch (event->type()) {
            case QEvent::Shortcut:
                return true;
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
                if (target == keyBuffer_) return false;
                [[fallthrough]];
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Drop: {
                auto* widget = qobject_cast<QWidget*>(target);
                if (!widget) return false;  // the window passes it on to its widgets
                if (allowed_ && (widget == allowed_ || allowed_->isAncestorOf(widget))) {
                    return false;
                }
                QWidget* box = QApplication::activeModalWidget();
                return !(box && (box == widget || box->isAncestorOf(widget)));
            }
            default:
                return false;
        }
    }

private:
    QLineEdit* keyBuffer_;
    QPointer<QWidget> previousFocus_;
    bool suspended_ = false;
    QPointer<QWidget> allowed_;
};

namespace {

// A run's host as the environment sees it: its message boxes are the window's, and OUTPUTDEBUG's
// lines go to the debug window while that is shown. Over the display window's host, or over the
// headless host where there is no display (Qt's offscreen platform).
template <class Base>
class EnvironmentRunHost : public Base {
public:
    template <class... Args>
    explicit EnvironmentRunHost(MainWindow& window, Args&&... args)
        : Base(std::forward<Args>(args)...), window_(window) {}
    void ShowMessage(MessageKind kind, std::string_view text) override {
        window_.tell(kind, BoxText(text));
    }
    bool DebugShown() override { return window_.Debug().isVisible(); }
    void DebugOutput(std::string_view line) override {
        window_.Debug().AppendLine(
            QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    }

private:
    MainWindow& window_;
};

HeadlessHost::Options QuietHeadless() {
    HeadlessHost::Options o;
    o.messages = nullptr;
    o.debug = nullptr;
    return o;
}

// The pane and the controls of a test or a run.
class WindowControls : public CheckAndRunHost {
public:
    explicit WindowControls(MainWindow& window) : window_(window) {}
    void SetTestAndRunEnabled(bool enabled) override {
        window_.Editor().SetTestAndRunEnabled(enabled);
        window_.Button("Test and run project")->setEnabled(enabled);
        window_.Button("Test project for errors")->setEnabled(enabled);
    }
    void RepaintDuringRun() override {
        // The input the guard lets through (the pause button) is taken too, and the display
        // window's pause key.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        window_.TakeDisplayKeys();
    }
    ProgressSink* Progress() override { return &window_.Editor().Progress(); }
    void ShowErrorLine(int sourceLine) override { window_.Editor().ShowErrorLine(sourceLine); }
    RunObserver* Observer(const PreparedProgram& program) override {
        return window_.MakeDebugger(program);
    }
    bool WhilePaused(const Interpreter& in) override { return window_.Pause(in); }

private:
    MainWindow& window_;
};

constexpr int kMaxHeight = 110;

}  // namespace

MainWindow::MainWindow(FlagStore& flags, QWidget* parent) : QMainWindow(parent), flags_(flags) {
    setWindowTitle("Tarnwick - Alpha - V0.40");
    editor_ = std::make_unique<SourceEditorWindow>();
    view_ = std::make_unique<ProjectView>(project_);
    debug_ = std::make_unique<DebugWindow>();
    askSave = [this] {
        const auto answer =
            QMessageBox::warning(this, windowTitle(), kSaveChangesPrompt,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes  ? SaveAnswer::Yes
               : answer == QMessageBox::No ? SaveAnswer::No
                                           : SaveAnswer::Cancel;
    };
    // The file must exist to be opened; a name saved without an extension gets ".twp", and an
    // existing file is asked about before it is overwritten.
    chooseOpenFile = [this] {
        QFileDialog dialog(this, "Open Tarnwick Project File...", {},
                           "Tarnwick Projects (*.twp);;All Files (*)");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix("twp");
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseSaveFile = [this] {
        QFileDialog dialog(this, {}, {},
                           "Tarnwick Project (*.twp);;Text Files (*.txt);;All Files (*)");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("twp");
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseAddFile = [this](ItemKind) { return QFileDialog::getOpenFileName(this); };
    tell = [this](MessageKind kind, const QString& text) {
        if (kind == MessageKind::Error) {
            QMessageBox::critical(this, windowTitle(), text);
        } else if (kind == MessageKind::Warning) {
            QMessageBox::warning(this, windowTitle(), text);
        } else {
            QMessageBox::information(this, windowTitle(), text);
        }
    };
    makeRunHost = [this]() -> std::unique_ptr<Host> {
#ifdef TARNWICK_HAVE_SDL
        if (QGuiApplication::platformName() != "offscreen") {
            SdlHost::Options options;
            options.title = "Tarnwick - " + project_.fileName;
            auto host = std::make_unique<EnvironmentRunHost<SdlHost>>(*this, options);
            std::string why;
            if (!host->Open(why)) {
                tell(MessageKind::Error,
                     "The display window could not be opened: " + QString::fromStdString(why));
                return nullptr;
            }
            return host;
        }
#endif
        return std::make_unique<EnvironmentRunHost<HeadlessHost>>(*this, QuietHeadless());
    };
    showLogo = [this] {
        LogoWindow logo(this, this);
        logo.exec();
    };
    showTips = [this] {
        TipsWindow tips(flags_, this);
        tips.exec();
    };
    askNumber = [this](const QString& title, const QString& label, int minimum,
                       int maximum) -> std::optional<int> {
        bool ok = false;
        const int value =
            QInputDialog::getInt(this, title, label, minimum, minimum, maximum, 1, &ok);
        if (!ok) return std::nullopt;
        return value;
    };
    tellTitled = [this](const QString& title, const QString& text) {
        QMessageBox::critical(this, title, text);
    };
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    BuildMenus();
    BuildToolBar();
    recoveryFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    askRestore = [this] {
        return QMessageBox::question(
                   this, windowTitle(),
                   "Tarnwick did not close cleanly last time, and a project had changes that were "
                   "not saved. Restore them?") == QMessageBox::Yes;
    };
    // While the project has unsaved changes, a copy of it is kept at most 30 seconds old.
    recoveryTimer_.setInterval(kRecoveryInterval);
    connect(&recoveryTimer_, &QTimer::timeout, this, &MainWindow::WriteRecovery);
    recoveryTimer_.start();
    whilePaused = [this] {
        // The environment runs until a debugging command goes on with the run.
        QEventLoop loop;
        pauseLoop_ = &loop;
        loop.exec();
        pauseLoop_ = nullptr;
    };
    connect(editor_.get(), &SourceEditorWindow::breakpointsChanged, this,
            &MainWindow::BreakpointsChanged);
    connect(editor_.get(), &SourceEditorWindow::runToCursorRequested, this,
            &MainWindow::RunToCursorCommand);
    editor_->Code()->SetColouring(flags_.ReadFlag(kEditorSection, kColouringFlag, true));
    connect(editor_.get(), &SourceEditorWindow::colouringChanged, this,
            [this](bool on) { flags_.WriteFlag(kEditorSection, kColouringFlag, on); });
    connect(editor_.get(), &SourceEditorWindow::testRequested, this, &MainWindow::TestCommand);
    connect(editor_.get(), &SourceEditorWindow::runRequested, this, &MainWindow::RunCommand);
    connect(editor_.get(), &SourceEditorWindow::saveRequested, this, &MainWindow::SaveCommand);
    connect(editor_.get(), &SourceEditorWindow::openRequested, this, &MainWindow::OpenCommand);
    connect(editor_.get(), &SourceEditorWindow::sourceChanged, this, [this](bool modified, int) {
        if (modified) project_.projectModified = true;
    });
    connect(view_.get(), &ProjectView::addRequested, this, &MainWindow::AddCommand);
    // A strip at most 110 pixels high, however it is resized.
    setMaximumHeight(kMaxHeight);
    toolBarTimer_.setInterval(50);
    connect(&toolBarTimer_, &QTimer::timeout, this, &MainWindow::UpdateToolBar);
    toolBarTimer_.start();
    UpdateToolBar();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------------------------------------
// The menus and the tool bar

void MainWindow::BuildMenus() {
    auto inert = [](QMenu* menu, std::initializer_list<const char*> items) {
        for (const char* item : items) menu->addAction(item);
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&New Project", this, &MainWindow::NewProjectCommand);
    QMenu* newItem = file->addMenu("New...");
    newItem->setObjectName("New...");
    newItem->addAction("Source Code Unit", this, [this] { AddCommand(ItemKind::Source); });
    const std::pair<const char*, ItemKind> adds[] = {{"Bitmap (via file)", ItemKind::Bitmap},
                                                     {"Sprite (via file)", ItemKind::Sprite},
                                                     {"Path (via file)", ItemKind::Path},
                                                     {"Music Score (via file)", ItemKind::Music},
                                                     {"Sound (via file)", ItemKind::Sound}};
    for (const auto& [caption, kind] : adds) {
        newItem->addAction(caption, this, [this, k = kind] { AddCommand(k); });
    }
    file->addAction("&Open", this, &MainWindow::OpenCommand);
    QMenu* reopen = file->addMenu("&ReOpen..");
    reopen->setObjectName("&ReOpen..");
    connect(reopen, &QMenu::aboutToShow, this, [this, reopen] { BuildReopenMenu(reopen); });
    BuildReopenMenu(reopen);
    file->addAction("&Save", QKeySequence("Ctrl+S"), this, &MainWindow::SaveCommand);
    file->addAction("&Save as..", QKeySequence("Ctrl+A"), this, &MainWindow::SaveAsCommand);
    file->addAction("&Close", this, &MainWindow::CloseCommand);
    inert(file, {"&Include project", "&Remove project", "&Merge projects", "&Print"});
    file->addAction("E&xit", QKeySequence("Alt+F4"), this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    QPlainTextEdit* text = editor_->Editor();
    edit->addAction("&Undo", QKeySequence("Ctrl+Z"), text, &QPlainTextEdit::undo);
    edit->addAction("&Redo", QKeySequence("Ctrl+Y"), text, &QPlainTextEdit::redo);
    edit->addAction("&Cut", QKeySequence("Ctrl+X"), text, &QPlainTextEdit::cut);
    edit->addAction("&Copy", QKeySequence("Ctrl+C"), text, &QPlainTextEdit::copy);
    edit->addAction("&Paste", QKeySequence("Ctrl+V"), text, &QPlainTextEdit::paste);
    edit->addAction("&Delete", QKeySequence("Del"), this,
                    [text] { text->textCursor().removeSelectedText(); });
    edit->addAction("&Select All", text, &QPlainTextEdit::selectAll);

    QMenu* search = menuBar()->addMenu("&Search");
    search->addAction("&Find", QKeySequence("Ctrl+F"), this, [this] { Find().Open(); });
    search->addAction("&Search Again", QKeySequence("F3"), this, [this] {
        // Nothing searched yet: the find window asks what to search for.
        if (!Find().SearchAgain() && Find().History()->currentText().isEmpty()) Find().Open();
    });
    search->addAction("&Replace", QKeySequence("Ctrl+R"), this, [this] {
        if (!replace_) replace_ = std::make_unique<ReplaceWindow>(*editor_->Editor(), this);
        replace_->show();
        replace_->raise();
    });
    search->addAction("&Goto Line Number", QKeySequence("Ctrl+G"), this, [this] {
        const std::optional<int> line =
            askNumber("Goto Line Number", "Line number:", 1, editor_->LineCount());
        if (line) editor_->GoToLine(*line - 1);
    });
    search->addAction("&Goto Error Number", this, [this] {
        const std::optional<int> number = askNumber("Goto Error Number", "Error number:", 1, 999);
        if (number && !editor_->GoToErrorNumber(*number)) {
            tell(MessageKind::Information,
                 "There is no error number " + QString::number(*number) + ".");
        }
    });
    search->addAction("&Goto Next Error", this, [this] {
        if (!editor_->GoToNextError()) tell(MessageKind::Information, "There are no errors.");
    });

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction("&Project Information", this, &MainWindow::ShowInformation);
    inert(view, {"Project Contents"});
    inert(view->addMenu("&View.."), {"S&prites", "&Bitmaps", "&Sounds", "&Music", "&Paths"});
    view->addAction("&Debug Window", this, [this] {
        debug_->show();
        debug_->raise();
    });
    const std::pair<const char*, DebugView> tables[] = {{"&Breakpoints", DebugView::Breakpoints},
                                                        {"&Call Stack", DebugView::CallStack},
                                                        {"&Watches", DebugView::Watches}};
    for (const auto& [caption, table] : tables) {
        view->addAction(caption, this, [this, t = table] { ShowDebugTable(t); });
    }
    inert(view, {"&Effects"});
    view->addAction("&Timer Events", this, [this] { ShowDebugTable(DebugView::TimerEvents); });
    view->addAction("&Run-Time Statistics", this,
                    [this] { ShowDebugTable(DebugView::Statistics); });

    menuBar()->addMenu("&Project");
    QMenu* run = menuBar()->addMenu("&Run");
    run->addAction("&Run", QKeySequence("F9"), this, &MainWindow::RunCommand);
    inert(run, {"&Parameters..", "&Test Source Code", "&Build All", "&Information..", "&TW Deploy©",
                "TW Deploy© &Options..", "&Options.."});
    QMenu* debug = menuBar()->addMenu("&Debug");
    debug->addAction("&Toggle Breakpoint", QKeySequence("F5"), editor_.get(),
                     &SourceEditorWindow::ToggleBreakpointAtCaret);
    debug->addAction("&Trace Into", QKeySequence("F7"), this, &MainWindow::TraceIntoCommand);
    debug->addAction("&Step Over", QKeySequence("F8"), this, &MainWindow::StepOverCommand);
    debug->addAction("&Run To Cursor", QKeySequence("F4"), this,
                     [this] { RunToCursorCommand(editor_->CaretLine()); });
    debug->addAction("&Continue", this, &MainWindow::ContinueCommand);
    debug->addAction("&Stop Program", QKeySequence("Ctrl+F2"), this, &MainWindow::StopCommand);
    menuBar()->addMenu("&Generate");
    menuBar()->addMenu("&Tools");

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&Contents", this, [this] {
        Help().ShowContents();
        ShowHelp();
    });
    help->addAction("&Keyword Search", QKeySequence("F1"), this, &MainWindow::HelpOnCaretWord);
    help->addAction("&Command List", this, [this] {
        Help().Search()->clear();
        Help().ShowContents();
        ShowHelp();
        Help().Words()->setFocus();
    });
    inert(help, {"&Whats New", "&Using Tarnwick"});
    help->addAction("&Tip of The Century", this, [this] {
        TipsWindow tips(flags_, this);
        tips.exec();
    });
    help->addAction("&About", this, [this] {
        AboutWindow about(this);
        about.exec();
    });
    help->addSeparator();
    for (const WebItem& item : kWebItems) {
        help->addAction(item.caption, this, [this, &item] { openUrl(QUrl(item.address)); });
    }

    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    }
    // Saving, searching and running answer their keys in the editor and the project view too.
    for (const char* item : {"&Save", "&Find", "&Search Again", "&Replace", "&Goto Line Number",
                             "&Run", "&Toggle Breakpoint", "&Trace Into", "&Step Over",
                             "&Run To Cursor", "&Stop Program", "&Keyword Search"}) {
        Action(item)->setShortcutContext(Qt::ApplicationShortcut);
    }
}

// The project information window, shown modally.
void MainWindow::ShowInformation() {
    InformationWindow information(this);
    information.Open(&project_);
}

QAction* MainWindow::AddButton(QWidget* bar, IconId icon, const char* hint) {
    auto* a = new QAction(Icon(icon), hint, bar);
    a->setToolTip(hint);
    auto* button = new QToolButton(bar);
    button->setDefaultAction(a);
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    bar->layout()->addWidget(button);
    buttons_.push_back(a);
    return a;
}

// The tool bar panel: the speed buttons in two rows on the left, the page control of further
// tool pages on the right, and the key buffer that takes the focus during a run.
void MainWindow::BuildToolBar() {
    panel_ = new QWidget(this);
    panel_->setObjectName("ToolBar_Panel");
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(2, 0, 0, 0);
    row->setSpacing(4);
    auto* speed = new QWidget(panel_);
    auto* grid = new QGridLayout(speed);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto button = [&](int r, int c, IconId icon, const char* hint, auto&& action) {
        auto* cell = new QWidget(speed);
        cell->setLayout(new QHBoxLayout);
        cell->layout()->setContentsMargins(0, 0, 0, 0);
        QAction* a = AddButton(cell, icon, hint);
        connect(a, &QAction::triggered, this, action);
        grid->addWidget(cell, r, c);
    };
    QPlainTextEdit* text = editor_->Editor();
    button(0, 0, IconId::NewProject, "New project", [this] { NewProjectCommand(); });
    button(0, 1, IconId::Open, "Open Project", [this] { OpenCommand(); });
    button(0, 2, IconId::Save, "Save Project", [this] { SaveCommand(); });
    button(0, 3, IconId::Close, "Close project", [this] { CloseCommand(); });
    button(0, 4, IconId::Test, "Test project for errors", [this] { TestCommand(); });
    button(0, 5, IconId::Run, "Test and run project", [this] { RunCommand(); });
    button(1, 0, IconId::Cut, "Cut", [text] { text->cut(); });
    button(1, 1, IconId::Copy, "Copy", [text] { text->copy(); });
    button(1, 2, IconId::Paste, "Paste", [text] { text->paste(); });
    // As the "Copy" button.
    button(1, 3, IconId::SelectAll, "Select all", [text] { text->copy(); });
    button(1, 4, IconId::Information, "Display project information", [this] { ShowInformation(); });
    row->addWidget(speed, 0, Qt::AlignLeft | Qt::AlignTop);

    // The key buffer: a one-pixel edit box that keystrokes reach while a program runs.
    keyBuffer_ = new QLineEdit(panel_);
    keyBuffer_->setObjectName("KeyBuffer_TextBox");
    keyBuffer_->setFixedSize(1, 1);
    keyBuffer_->setFrame(false);
    row->addWidget(keyBuffer_, 0, Qt::AlignBottom);
    row->addStretch(1);

    pages_ = new QTabWidget(panel_);
    pages_->setObjectName("PageControl");
    auto page = [this](const char* caption) {
        auto* bar = new QWidget(pages_);
        auto* layout = new QHBoxLayout(bar);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setSpacing(0);
        pages_->addTab(bar, caption);
        return bar;
    };
    // Buttons that are there and do nothing yet.
    auto inert = [this](QWidget* bar, std::initializer_list<std::pair<IconId, const char*>> list) {
        for (const auto& [icon, hint] : list) AddButton(bar, icon, hint)->setEnabled(false);
    };
    QWidget* standard = page("&Standard..");
    // Enabled with the others; it has no action.
    AddButton(standard, IconId::Find, "Find");
    inert(standard, {{IconId::SearchAgain, "Search again"},
                     {IconId::Replace, "Replace"},
                     {IconId::GotoLine, "Goto line number"}});
    inert(page("&Editor.."), {{IconId::Undo, "Undo"},
                              {IconId::Redo, "Redo"},
                              {IconId::Indent, "Indent block"},
                              {IconId::Unindent, "Unindent block"}});
    inert(page("&Formatting.."),
          {{IconId::Comment, "Comment block"}, {IconId::Uncomment, "Uncomment block"}});
    QWidget* debugging = page("&Debugging..");
    connect(AddButton(debugging, IconId::Pause, "Pause execution"), &QAction::triggered, this,
            &MainWindow::PauseCommand);
    connect(AddButton(debugging, IconId::TraceInto, "Trace Into"), &QAction::triggered, this,
            &MainWindow::TraceIntoCommand);
    connect(AddButton(debugging, IconId::StepOver, "Step Over"), &QAction::triggered, this,
            &MainWindow::StepOverCommand);
    QWidget* manager = page("&TWP Manager..");
    const std::tuple<IconId, const char*, ItemKind> adds[] = {
        {IconId::Source, "Insert black source code unit into project", ItemKind::Source},
        {IconId::Bitmap, "Insert bitmap into project", ItemKind::Bitmap},
        {IconId::Sprite, "Insert sprite into project", ItemKind::Sprite},
        {IconId::Path, "Insert path into project", ItemKind::Path},
        {IconId::Music, "Insert music into project", ItemKind::Music},
        {IconId::Sound, "Insert sound into project", ItemKind::Sound}};
    for (const auto& [icon, hint, kind] : adds) {
        connect(AddButton(manager, icon, hint), &QAction::triggered, this,
                [this, k = kind] { AddCommand(k); });
    }
    connect(AddButton(manager, IconId::Information, "View project information"),
            &QAction::triggered, this, &MainWindow::ShowInformation);
    for (int i = 0; i < pages_->count(); ++i) {
        static_cast<QHBoxLayout*>(pages_->widget(i)->layout())->addStretch(1);
    }
    row->addWidget(pages_, 0, Qt::AlignRight | Qt::AlignTop);
    setCentralWidget(panel_);
}

// A menu item (not a menu's own action, such as the "&Run" menu's beside its "&Run" item).
QAction* MainWindow::Action(const QString& text) const {
    for (QAction* a : menuBar()->findChildren<QAction*>()) {
        if (a->text() == text && !a->menu<QMenu*>()) return a;
    }
    return nullptr;
}

QMenu* MainWindow::Menu(const QString& title) const {
    for (QMenu* m : menuBar()->findChildren<QMenu*>()) {
        if (m->title() == title) return m;
    }
    return nullptr;
}

QAction* MainWindow::Button(const QString& hint) const {
    for (QAction* a : buttons_) {
        if (a->toolTip() == hint) return a;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// The enable rules

void MainWindow::UpdateToolBar() {
    const bool ready = project_.projectOpen && editor_->isVisible() && !running_;
    for (const char* hint :
         {"Paste", "Cut", "Copy", "Save Project", "Test and run project", "Test project for errors",
          "Display project information", "Find", "Insert black source code unit into project",
          "Insert bitmap into project", "Insert sprite into project", "Insert path into project",
          "Insert music into project", "Insert sound into project", "View project information"}) {
        Button(hint)->setEnabled(ready);
    }
    // While a run is paused, running goes on with it.
    if (QAction* run = Action("&Run")) run->setEnabled(ready || Paused());
    if (QAction* debug = Action("&Debug Window")) debug->setEnabled(ready);
    // Stepping starts a run or goes on with a paused one; pausing needs a run.
    Button("Trace Into")->setEnabled(ready || Paused());
    Button("Step Over")->setEnabled(ready || Paused());
    Button("Pause execution")->setEnabled(running_ && !Paused());
}

void MainWindow::UpdateMenu(QMenu* menu) {
    const bool open = project_.projectOpen;
    const bool visible = editor_->isVisible();
    const bool selection = editor_->Editor()->textCursor().hasSelection();
    auto set = [this](std::initializer_list<const char*> items, bool enabled) {
        for (const char* item : items) {
            if (QAction* a = Action(item)) a->setEnabled(enabled);
        }
    };
    const QString title = menu->title();
    if (title == "&File") {
        set({"&Save", "&Save as..", "&Close", "&Print"}, open);
        Menu("New...")->setEnabled(open);
    } else if (title == "&Edit") {
        const QTextDocument* document = editor_->Editor()->document();
        const bool writable = open && visible && !editor_->ReadOnly();
        set({"&Undo"}, writable && document->isUndoAvailable());
        set({"&Redo"}, writable && document->isRedoAvailable());
        set({"&Select All"}, open && visible);
        set({"&Paste"}, open && visible && editor_->Editor()->canPaste());
        set({"&Cut", "&Copy", "&Delete"}, open && visible && selection);
    } else if (title == "&Search") {
        set({"&Find", "&Search Again", "&Replace", "&Goto Line Number"}, visible);
        set({"&Goto Error Number", "&Goto Next Error"}, visible && editor_->ErrorCount() > 0);
    } else if (title == "&View") {
        set({"&Project Information", "&Debug Window"}, open);
        Menu("&View..")->setEnabled(open);
    } else if (title == "&Run") {
        set({"&Run", "&Parameters..", "&TW Deploy©"}, open && !running_);
        if (Paused()) set({"&Run"}, true);
        set({"&Test Source Code", "&Build All", "&Information..", "TW Deploy© &Options..",
             "&Options.."},
            false);
    } else if (title == "&Debug") {
        const bool ready = open && visible && !running_;
        set({"&Toggle Breakpoint"}, open && visible);
        set({"&Trace Into", "&Step Over", "&Run To Cursor"}, ready || Paused());
        set({"&Continue", "&Stop Program"}, Paused());
    }
}

QStringList MainWindow::RecentProjects() const {
    QStringList recent;
    for (const std::string& path : flags_.ReadList(kProjectsSection, kRecentList)) {
        if (!path.empty() && recent.size() < kRecentProjects) {
            recent.push_back(QString::fromStdString(path));
        }
    }
    return recent;
}

void MainWindow::RememberProject(const QString& path) {
    if (path.isEmpty() || path == RecoveryPath()) return;
    QStringList recent = RecentProjects();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentProjects) recent.removeLast();
    std::vector<std::string> list;
    for (const QString& item : recent) list.push_back(item.toStdString());
    flags_.WriteList(kProjectsSection, kRecentList, list);
}

void MainWindow::BuildReopenMenu(QMenu* menu) {
    menu->clear();
    const QStringList recent = RecentProjects();
    if (recent.isEmpty()) {
        menu->addAction("No previous projects")->setEnabled(false);
        return;
    }
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        // "&1 name  (folder)": the number is the item's key.
        const QFileInfo info(path);
        menu->addAction(QString("&%1 %2  (%3)")
                            .arg(i + 1)
                            .arg(info.fileName(), QDir::toNativeSeparators(info.path())),
                        this, [this, path] { ReopenCommand(path); });
    }
}

void MainWindow::ReopenCommand(const QString& path) {
    if (!CloseCommand()) return;
    OpenPath(path);
}

FindWindow& MainWindow::Find() {
    // One window for the whole session, so that its history and choices stay.
    if (!find_) find_ = std::make_unique<FindWindow>(*editor_->Editor(), this);
    return *find_;
}

// ---------------------------------------------------------------------------------------------
// The project commands

void MainWindow::ShowProject() {
    const std::string source = project_.MainSource();
    editor_->RefreshDisplay(std::vector<uint8_t>(source.begin(), source.end()), project_.fileName);
    LoadBreakpoints();
    view_->RefreshDisplay();
    UpdateToolBar();
}

void MainWindow::TakeEditorText() {
    if (!project_.projectOpen) return;
    const std::vector<uint8_t> bytes = editor_->SourceBytes();
    project_.SetMainSource(std::string(bytes.begin(), bytes.end()));
}

bool MainWindow::CloseCommand() {
    return CloseProject(
        project_, askSave, [this] { SaveCommand(); },
        [this] {
            // Closed as the user chose: whatever was not saved was given up.
            RemoveRecovery();
            editor_->SetModified(false);
            editor_->hide();
            view_->hide();
        });
}

void MainWindow::NewProjectCommand() {
    if (!CloseCommand()) return;
    NewProject(project_);
    project_.projectOpen = true;
    ShowProject();
}

void MainWindow::OpenCommand() {
    if (!CloseCommand()) return;
    const QString path = chooseOpenFile();
    if (!path.isEmpty()) OpenPath(path);
}

bool MainWindow::OpenPath(const QString& path) {
    try {
        WindowMessages messages(*this);
        NewProject(project_);
        if (!LoadProject(project_, path.toStdString(), messages)) return false;
        ShowProject();
        RememberProject(QString::fromStdString(project_.filePath));
        return true;
    } catch (...) {
        tell(MessageKind::Error, "Error : Failed to open Tarnwick project");
        return false;
    }
}

bool MainWindow::Save(const QString& path) {
    try {
        TakeEditorText();
        const std::string previous = project_.filePath;
        project_.filePath = path.toStdString();
        std::string why;
        if (SaveProject(project_, why)) {
            RemoveRecovery();  // nothing is unsaved
            RememberProject(QString::fromStdString(project_.filePath));
            editor_->SetModified(false);
            editor_->setWindowTitle(QString::fromStdString(EditorCaption(project_.fileName)));
            return true;
        }
        project_.filePath = previous;
    } catch (...) {
    }
    // The old file is as it was: the save writes a new file and renames it over the old.
    tell(MessageKind::Error,
         "Error! Tarnwick failed to save your project - Use \"Save As\" menu item to choose a "
         "new filename.");
    return false;
}

bool MainWindow::SaveCommand() {
    if (!project_.filePath.empty()) return Save(QString::fromStdString(project_.filePath));
    return SaveAsCommand();
}

bool MainWindow::SaveAsCommand() {
    const QString path = chooseSaveFile();
    if (path.isEmpty()) return false;
    return Save(path);
}

void MainWindow::AddCommand(ItemKind kind) {
    WindowMessages messages(*this);
    if (kind == ItemKind::Source) {
        AddSourceUnit(project_, messages);
    } else {
        const QString path = chooseAddFile(kind);
        if (path.isEmpty()) return;
        AddItemFromFile(project_, kind, path.toStdString(), messages);
    }
    view_->RefreshDisplay();
}

// ---------------------------------------------------------------------------------------------
// Testing and running

void MainWindow::TestCommand() {
    if (running_) return;
    TakeEditorText();
    WindowControls controls(*this);
    toolBarTimer_.stop();
    TestProject(project_.MainSource(), editor_->windowTitle().toStdString(), editor_->Pane(),
                controls);
    toolBarTimer_.start();
}

void MainWindow::RunCommand() {
    // F9 while a run is paused goes on with it.
    if (Paused()) {
        ContinueCommand();
        return;
    }
    if (running_) return;
    TakeEditorText();
    std::unique_ptr<Host> host = makeRunHost();
    if (!host) {
        debugStart_ = DebugStart::None;
        return;
    }
    runHost_ = host.get();
    debuggerAsked_ = pauseWanted_ = false;
    WindowControls controls(*this);
    toolBarTimer_.stop();
    running_ = true;
    UpdateToolBar();
    {
        RunInputGuard guard(keyBuffer_);
        inputGuard_ = &guard;
        for (QToolButton* b : findChildren<QToolButton*>()) {
            if (b->defaultAction() == Button("Pause execution")) guard.Allow(b);
        }
        {
            Interpreter in(*host, random_);
            in.projectName = project_.fileName;
            const RunFiles files = RunFilesOf(project_);
            RunProject(in, project_.MainSource(), files, editor_->windowTitle().toStdString(),
                       editor_->Pane(), controls);
        }
        runHost_ = nullptr;
        host.reset();  // the display window closes before the input is let in again
        inputGuard_ = nullptr;
    }
    debugger_.reset();
    debugStart_ = DebugStart::None;
    pauseWanted_ = false;
    running_ = false;
    toolBarTimer_.start();
    UpdateToolBar();
}

// ---------------------------------------------------------------------------------------------
// Debugging

RunObserver* MainWindow::MakeDebugger(const PreparedProgram& program) {
    if (debugger_) return debugger_.get();
    // A run with nothing to stop at has no observer, and so costs nothing. It is asked again
    // every 100 ms: from then on only a pause calls a debugger in (the breakpoints cannot
    // change while the run holds the input).
    const bool starting = !debuggerAsked_;
    debuggerAsked_ = true;
    if (!starting && !pauseWanted_) return nullptr;
    const std::set<int> breakpoints = editor_->Breakpoints();
    if (breakpoints.empty() && debugStart_ == DebugStart::None && !pauseWanted_) return nullptr;
    debugger_ = std::make_unique<Debugger>(program);
    debugger_->SetBreakpoints(breakpoints);
    if (pauseWanted_) debugger_->RequestPause();
    pauseWanted_ = false;
    switch (debugStart_) {
        case DebugStart::None:
            break;
        case DebugStart::StepInto:
            debugger_->StepInto();
            break;
        case DebugStart::RunToLine:
            debugger_->RunToLine(debugTarget_);
            break;
    }
    return debugger_.get();
}

bool MainWindow::Pause(const Interpreter& in) {
    pausedIn_ = &in;
    stopAtResume_ = false;
    if (inputGuard_) inputGuard_->Suspend(true);
    editor_->ShowExecutionLine(debugger_->PausedLine());
    editor_->raise();
    RefreshDebugWindows();
    UpdateToolBar();
    // The display window keeps showing the last frame, and its keys step and go on.
    QTimer displayKeys;
    connect(&displayKeys, &QTimer::timeout, this, &MainWindow::TakeDisplayKeys);
    displayKeys.start(kDisplayKeysInterval);
    whilePaused();
    displayKeys.stop();
    if (inputGuard_) inputGuard_->Suspend(false);
    editor_->ShowExecutionLine(-1);
    pausedIn_ = nullptr;
    UpdateToolBar();
    return !stopAtResume_;
}

void MainWindow::Resume() {
    if (pauseLoop_) pauseLoop_->quit();
}

void MainWindow::ContinueCommand() {
    if (!Paused()) return;
    debugger_->Continue();
    Resume();
}

void MainWindow::TraceIntoCommand() {
    if (Paused()) {
        debugger_->StepInto();
        Resume();
    } else if (!running_) {
        debugStart_ = DebugStart::StepInto;
        RunCommand();
    }
}

void MainWindow::StepOverCommand() {
    if (Paused()) {
        debugger_->StepOver();
        Resume();
    } else if (!running_) {
        // From the start, stepping over is stepping into the first statement.
        debugStart_ = DebugStart::StepInto;
        RunCommand();
    }
}

void MainWindow::RunToCursorCommand(int line) {
    if (Paused()) {
        debugger_->RunToLine(line);
        Resume();
    } else if (!running_) {
        debugStart_ = DebugStart::RunToLine;
        debugTarget_ = line;
        RunCommand();
    }
}

void MainWindow::StopCommand() {
    if (!Paused()) return;
    stopAtResume_ = true;
    debugger_->Continue();
    Resume();
}

HelpWindow& MainWindow::Help() {
    if (!help_) help_ = std::make_unique<HelpWindow>();
    return *help_;
}

void MainWindow::ShowHelp() {
    Help().show();
    Help().raise();
    Help().activateWindow();
}

bool MainWindow::HelpOnCaretWord() {
    // The word under the editor's caret: its entry, or the search for it.
    const QTextCursor caret = editor_->Editor()->textCursor();
    const auto [word, next] = WordsAt(caret.block().text(), caret.positionInBlock());
    bool found = false;
    if (!word.isEmpty() && editor_->isVisible()) found = Help().ShowWord(word, next);
    if (!found) Help().StartSearch();
    ShowHelp();
    return found;
}

void MainWindow::PauseCommand() {
    if (!running_ || Paused()) return;
    // A plain run gets its debugger at the run's next look (within 100 ms).
    if (debugger_) {
        debugger_->RequestPause();
    } else {
        pauseWanted_ = true;
    }
}

void MainWindow::TakeDisplayKeys() {
    if (!runHost_) return;
    if (Paused()) runHost_->KeepWindowAlive();
    while (const int key = runHost_->TakeDebugKey()) {
        if (!Paused()) {
            if (key == kDebugKeyF8) PauseCommand();
            continue;
        }
        // One command goes on with the run; the keys after it wait for the next pause.
        if (key == kDebugKeyF7) {
            TraceIntoCommand();
        } else if (key == kDebugKeyF8) {
            StepOverCommand();
        } else {
            ContinueCommand();
        }
        return;
    }
}

namespace {

// A settings key for a project's path: its SHA-1 in hexadecimal (a path's slashes would be taken
// for groups of keys).
std::string BreakpointsKey(const std::string& path) {
    return QCryptographicHash::hash(QByteArray::fromStdString(path), QCryptographicHash::Sha1)
        .toHex()
        .toStdString();
}

}  // namespace

void MainWindow::BreakpointsChanged() {
    const std::set<int> lines = editor_->Breakpoints();
    if (debugger_) debugger_->SetBreakpoints(lines);
    // Kept per project in the settings, never in the project file.
    if (!project_.filePath.empty()) {
        std::vector<std::string> list;
        for (int line : lines) list.push_back(std::to_string(line));
        flags_.WriteList(kBreakpointsSection, BreakpointsKey(project_.filePath), list);
    }
    RefreshDebugWindows();
}

void MainWindow::LoadBreakpoints() {
    std::set<int> lines;
    if (!project_.filePath.empty()) {
        for (const std::string& item :
             flags_.ReadList(kBreakpointsSection, BreakpointsKey(project_.filePath))) {
            char* end = nullptr;
            const long line = std::strtol(item.c_str(), &end, 10);
            if (end != item.c_str() && line >= 0 && line < kMaxSourceLines) {
                lines.insert(static_cast<int>(line));
            }
        }
    }
    editor_->SetBreakpoints(lines);
}

DebugTableWindow& MainWindow::DebugTable(DebugView view) {
    static const struct {
        const char* title;
        QStringList columns;
    } kViews[] = {
        {"Breakpoints", {"Line", "Source"}},
        {"Call Stack", {"Entry", "Line"}},
        {"Watches", {"Name", "Value", "Kind", "Scope"}},
        {"Timer Events", {"Timer", "Interval (ms)", "Last serviced (ms)"}},
        {"Run-Time Statistics", {"Statistic", "Value"}},
    };
    auto& window = debugTables_[static_cast<size_t>(view)];
    if (!window) {
        const auto& v = kViews[static_cast<size_t>(view)];
        window = std::make_unique<DebugTableWindow>(v.title, v.columns, this);
    }
    return *window;
}

void MainWindow::ShowDebugTable(DebugView view) {
    DebugTableWindow& window = DebugTable(view);
    RefreshDebugWindows();
    window.show();
    window.raise();
}

void MainWindow::RefreshDebugWindows() {
    auto text = [](const std::string& s) {
        return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    };
    // Lines are shown from 1, as the gutter numbers them.
    auto lineText = [](int line) { return line < 0 ? QString("-") : QString::number(line + 1); };
    for (size_t i = 0; i < debugTables_.size(); ++i) {
        DebugTableWindow* window = debugTables_[i].get();
        if (!window) continue;
        std::vector<QStringList> rows;
        switch (static_cast<DebugView>(i)) {
            case DebugView::Breakpoints:
                for (int line : editor_->Breakpoints()) {
                    const QTextBlock block = editor_->Editor()->document()->findBlockByNumber(line);
                    rows.push_back({lineText(line), block.text().trimmed()});
                }
                break;
            case DebugView::CallStack:
                if (!pausedIn_) break;
                rows.push_back({"(paused here)", lineText(debugger_->PausedLine())});
                for (const StackEntry& e : CallStack(*pausedIn_, debugger_->Program())) {
                    rows.push_back({text(e.what), lineText(e.line)});
                }
                for (const StackEntry& e : LoopStack(*pausedIn_, debugger_->Program())) {
                    rows.push_back({text(e.what), lineText(e.line)});
                }
                break;
            case DebugView::Watches:
                if (!pausedIn_) break;
                for (const Watch& w : Watches(*pausedIn_)) {
                    rows.push_back({text(w.name), text(w.value), text(w.kind), text(w.scope)});
                }
                break;
            case DebugView::TimerEvents:
                if (!pausedIn_) break;
                for (const TimerEvent& t : TimerEvents(*pausedIn_)) {
                    rows.push_back({text(t.name), QString::number(t.interval),
                                    QString::number(t.lastService)});
                }
                break;
            case DebugView::Statistics: {
                if (!pausedIn_) break;
                const RunStatistics s = Statistics(*pausedIn_, pausedIn_->host.TickCount());
                rows.push_back({"Statements executed", QString::number(s.statements)});
                rows.push_back({"Run time (ms)", QString::number(s.milliseconds)});
                rows.push_back({"Statements per second", QString::number(s.perSecond, 'f', 0)});
                break;
            }
        }
        window->SetRows(rows);
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up

QString WelcomePage() {
    return "Welcome to Tarnwick!\n\n"
           "This is an Alpha release: a development environment and interpreter for writing "
           "small games in BASIC. Much works, some of it does not yet.\n\n"
           "Help can be found in the \"&Help\" menu, which leads to the tutorials on "
           "https://tarnwick.example.org.";
}

QString ExamplesPage(const QString& examples) {
    return "Example code is located under " + QDir::toNativeSeparators(examples) +
           ", unless you installed TW under a different directory. All these example have been "
           "created throughout TW's development, and only test each part of TW (ie. there is no "
           "game!)\n\nThanks for using Tarnwick.. Let your imagination be your only "
           "limit..\n\n(These two messages are shown once)";
}

void MainWindow::StartUp(const QString& projectPath) {
    showLogo();
    setEnabled(true);  // the logo enables the window as it closes; so does a logo not shown
    project_.projectOpen = false;
    // A recovery copy left by a session that did not close cleanly comes first.
    if (OfferRecovery()) {
        // (the restored project is open; the one named on the command line waits)
    } else if (!projectPath.isEmpty()) {
        // (Read without blocking and bounded: a FIFO or a device is refused, not waited on.)
        std::vector<uint8_t> bytes;
        std::string why;
        if (!ReadProjectFile(projectPath.toStdString(), bytes, why)) {
            tellTitled(kFileIoErrorTitle, kFileIoErrorText);
            return;
        }
        OpenPath(projectPath);
    }
    if (!flags_.ReadFlag(kAlphaSection, kStartupFlag, false)) {
        flags_.WriteFlag(kAlphaSection, kStartupFlag, true);
        tell(MessageKind::Information, WelcomePage());
        tell(MessageKind::Information, ExamplesPage(TARNWICK_EXAMPLES_DIR));
    }
    if (flags_.ReadFlag(kTipsSection, kStartupFlag, true)) showTips();
}

// ---------------------------------------------------------------------------------------------
// Recovery copies

namespace {

constexpr const char* kRecoveryFile = "recovery.twp";
constexpr const char* kRecoveryPathFile = "recovery.path";  // the project's own path, or empty

}  // namespace

QString MainWindow::RecoveryPath() const {
    return QDir(recoveryFolder).filePath(kRecoveryFile);
}

bool MainWindow::WriteRecovery() {
    if (!project_.projectOpen || running_) return false;
    if (!project_.projectModified && !editor_->Modified()) return false;
    if (!QDir().mkpath(recoveryFolder)) return false;
    TakeEditorText();
    ProjectState copy = project_;
    copy.filePath = RecoveryPath().toStdString();
    std::string why;
    if (!SaveProject(copy, why)) return false;
    const std::string& own = project_.filePath;
    return WriteFileAtomically(
        QDir(recoveryFolder).filePath(kRecoveryPathFile).toStdString(),
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(own.data()), own.size()), why);
}

void MainWindow::RemoveRecovery() {
    QFile::remove(RecoveryPath());
    QFile::remove(QDir(recoveryFolder).filePath(kRecoveryPathFile));
}

bool MainWindow::OfferRecovery() {
    if (!QFileInfo::exists(RecoveryPath())) return false;
    if (!askRestore()) {
        RemoveRecovery();
        return false;
    }
    std::vector<uint8_t> own;
    std::string why;
    ReadWholeFile(QDir(recoveryFolder).filePath(kRecoveryPathFile).toStdString(), 4096, own, why);
    if (!OpenPath(RecoveryPath())) return false;
    // The project is its own again, with its changes not yet saved.
    project_.filePath.assign(own.begin(), own.end());
    project_.fileName =
        project_.filePath.empty()
            ? std::string("NewProject.twp")
            : QFileInfo(QString::fromStdString(project_.filePath)).fileName().toStdString();
    project_.projectModified = true;
    LoadBreakpoints();
    editor_->setWindowTitle(QString::fromStdString(EditorCaption(project_.fileName)));
    editor_->SetModified(true);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The layout

void MainWindow::PlaceWindows(const QRect& screen) {
    placed_ = true;
    move(screen.topLeft());
    resize(screen.width(), std::min(height(), kMaxHeight));
    panel_->setFixedWidth(std::max(0, screen.width() - 9));
    pages_->setFixedWidth(std::max(0, width() - 234));
    // The editor and the project view: from the window's bottom down to 5 pixels above the
    // screen's; the editor takes the left two thirds.
    const QRect frame = frameGeometry();
    const int top = frame.bottom() + 1;
    const int below = std::max(100, screen.bottom() + 1 - top - 5);
    const int editorWidth = screen.width() * 2 / 3;
    editor_->placement = QRect(screen.left(), top, editorWidth, below);
    view_->placement = QRect(screen.left() + editorWidth, top, screen.width() - editorWidth, below);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!placed_ && screen()) PlaceWindows(screen()->availableGeometry());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (height() > kMaxHeight) resize(width(), kMaxHeight);
    if (panel_ && screen()) panel_->setFixedWidth(std::max(0, screen()->size().width() - 9));
    if (pages_) pages_->setFixedWidth(std::max(0, width() - 234));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing closes while a program runs.
    if (!running_ && CloseCommand()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tw
