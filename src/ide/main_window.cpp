// The main window.
//
// Sections: the menus and the tool bar; the enable rules; the project commands; testing and
// running; the layout.

#include "ide/main_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

#include "platform/headless/headless_host.h"

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

namespace {

// A run's host while the window has none of its own: messages in boxes, OUTPUTDEBUG's lines in
// the debug window while it is shown.
class WindowRunHost : public HeadlessHost {
public:
    WindowRunHost(MainWindow& window) : HeadlessHost(Quiet()), window_(window) {}
    void ShowMessage(MessageKind kind, std::string_view text) override {
        window_.tell(kind, BoxText(text));
    }
    bool DebugShown() override { return window_.Debug().isVisible(); }
    void DebugOutput(std::string_view line) override {
        window_.Debug().AppendLine(
            QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    }

private:
    static Options Quiet() {
        Options o;
        o.messages = nullptr;
        o.debug = nullptr;
        return o;
    }
    MainWindow& window_;
};

// The pane and the controls of a test or a run.
class WindowControls : public CheckAndRunHost {
public:
    explicit WindowControls(MainWindow& window) : window_(window) {}
    void SetTestAndRunEnabled(bool enabled) override {
        window_.Editor().SetTestAndRunEnabled(enabled);
        window_.Button("Test and run project")->setEnabled(enabled);
        window_.Button("Test project for errors")->setEnabled(enabled);
    }
    void RepaintDuringRun() override { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

private:
    MainWindow& window_;
};

constexpr int kMaxHeight = 110;

}  // namespace

MainWindow::MainWindow(FlagStore& flags, QWidget* parent)
    : QMainWindow(parent), flags_(flags) {
    setWindowTitle("Tarnwick - Alpha - V0.40");
    editor_ = std::make_unique<SourceEditorWindow>();
    view_ = std::make_unique<ProjectView>(project_);
    debug_ = std::make_unique<DebugWindow>();
    askSave = [this] {
        const auto answer = QMessageBox::warning(
            this, windowTitle(), kSaveChangesPrompt,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes  ? SaveAnswer::Yes
               : answer == QMessageBox::No ? SaveAnswer::No
                                           : SaveAnswer::Cancel;
    };
    chooseOpenFile = [this] {
        return QFileDialog::getOpenFileName(this, "Open Tarnwick Project File...", {},
                                            "Tarnwick Projects (*.twp);;All Files (*)");
    };
    chooseSaveFile = [this] {
        return QFileDialog::getSaveFileName(
            this, {}, {}, "Tarnwick Project (*.twp);;Text Files (*.txt);;All Files (*)");
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
    makeRunHost = [this] { return std::make_unique<WindowRunHost>(*this); };

    BuildMenus();
    BuildToolBar();
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
    const std::pair<const char*, ItemKind> adds[] = {
        {"Bitmap (via file)", ItemKind::Bitmap},    {"Sprite (via file)", ItemKind::Sprite},
        {"Path (via file)", ItemKind::Path},        {"Music Score (via file)", ItemKind::Music},
        {"Sound (via file)", ItemKind::Sound}};
    for (const auto& [caption, kind] : adds) {
        newItem->addAction(caption, this, [this, k = kind] { AddCommand(k); });
    }
    file->addAction("&Open", this, &MainWindow::OpenCommand);
    file->addMenu("&ReOpen..")->addAction("No previous projects")->setEnabled(false);
    file->addAction("&Save", QKeySequence("Ctrl+S"), this, &MainWindow::SaveCommand);
    file->addAction("&Save as..", QKeySequence("Ctrl+A"), this, &MainWindow::SaveAsCommand);
    file->addAction("&Close", this, &MainWindow::CloseCommand);
    inert(file, {"&Include project", "&Remove project", "&Merge projects", "&Print"});
    file->addAction("E&xit", QKeySequence("Alt+F4"), this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    inert(edit, {"&Undo", "&Redo"});
    QPlainTextEdit* text = editor_->Editor();
    edit->addAction("&Cut", QKeySequence("Ctrl+X"), text, &QPlainTextEdit::cut);
    edit->addAction("&Copy", QKeySequence("Ctrl+C"), text, &QPlainTextEdit::copy);
    edit->addAction("&Paste", QKeySequence("Ctrl+V"), text, &QPlainTextEdit::paste);
    edit->addAction("&Delete", QKeySequence("Del"), this,
                    [text] { text->textCursor().removeSelectedText(); });
    edit->addAction("&Select All", text, &QPlainTextEdit::selectAll);

    QMenu* search = menuBar()->addMenu("&Search");
    search->addAction("&Find", QKeySequence("Ctrl+F"), this, [this] {
        FindWindow find(*editor_->Editor(), this);
        find.Open();
    });
    inert(search, {"&Search Again", "&Replace", "&Goto Line Number", "&Goto Error Number",
                   "&Goto Next Error"});

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction("&Project Information", this, [this] {
        InformationWindow information(this);
        information.Open(&project_);
    });
    inert(view, {"Project Contents"});
    inert(view->addMenu("&View.."), {"S&prites", "&Bitmaps", "&Sounds", "&Music", "&Paths"});
    view->addAction("&Debug Window", this, [this] {
        debug_->show();
        debug_->raise();
    });
    inert(view, {"&Breakpoints", "&Call Stack", "&Watches", "&Effects", "&Timer Events",
                 "&Run-Time Statistics"});

    menuBar()->addMenu("&Project");
    QMenu* run = menuBar()->addMenu("&Run");
    run->addAction("&Run", QKeySequence("F9"), this, &MainWindow::RunCommand);
    inert(run, {"&Parameters..", "&Test Source Code", "&Build All", "&Information..",
                "&TW Deploy©", "TW Deploy© &Options..", "&Options.."});
    menuBar()->addMenu("&Debug");
    menuBar()->addMenu("&Generate");
    menuBar()->addMenu("&Tools");

    QMenu* help = menuBar()->addMenu("&Help");
    inert(help, {"&Contents", "&Keyword Search", "&Command List", "&Whats New",
                 "&Using Tarnwick"});
    help->addAction("&Tip of The Century", this, [this] {
        TipsWindow tips(flags_, this);
        tips.exec();
    });
    help->addAction("&About", this, [this] {
        AboutWindow about(this);
        about.exec();
    });

    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    }
}

void MainWindow::BuildToolBar() {
    QToolBar* bar = addToolBar("ToolBar_Panel");
    bar->setMovable(false);
    auto add = [&](QStyle::StandardPixmap icon, const char* hint, auto&& action) {
        QAction* a = bar->addAction(style()->standardIcon(icon), hint);
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, action);
        buttons_.push_back(a);
    };
    add(QStyle::SP_FileIcon, "New project", [this] { NewProjectCommand(); });
    add(QStyle::SP_DialogOpenButton, "Open Project", [this] { OpenCommand(); });
    add(QStyle::SP_DialogSaveButton, "Save Project", [this] { SaveCommand(); });
    add(QStyle::SP_MediaPlay, "Test and run project", [this] { RunCommand(); });
    add(QStyle::SP_DialogApplyButton, "Test project for errors", [this] { TestCommand(); });
    add(QStyle::SP_MessageBoxInformation, "Display project information", [this] {
        InformationWindow information(this);
        information.Open(&project_);
    });
    add(QStyle::SP_DialogCloseButton, "Close project", [this] { CloseCommand(); });
    pages_ = new QTabWidget(this);
    for (const char* page :
         {"&Standard..", "&Editor..", "&Formatting..", "&Debugging..", "&TWP Manager.."}) {
        pages_->addTab(new QWidget(pages_), page);
    }
    bar->addWidget(pages_);
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
    const bool ready = project_.projectOpen && editor_->isVisible();
    for (const char* hint : {"Save Project", "Test and run project", "Test project for errors",
                             "Display project information"}) {
        Button(hint)->setEnabled(ready && !running_);
    }
    if (QAction* run = Action("&Run")) run->setEnabled(ready && !running_);
    if (QAction* debug = Action("&Debug Window")) debug->setEnabled(ready);
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
        set({"&Select All"}, open && visible);
        set({"&Paste"}, open && visible && editor_->Editor()->canPaste());
        set({"&Cut", "&Copy", "&Delete"}, open && visible && selection);
    } else if (title == "&Search") {
        set({"&Find", "&Search Again", "&Replace", "&Goto Line Number"}, visible);
    } else if (title == "&View") {
        set({"&Project Information", "&Debug Window"}, open);
        Menu("&View..")->setEnabled(open);
    } else if (title == "&Run") {
        set({"&Run", "&Parameters..", "&TW Deploy©"}, open && !running_);
        set({"&Test Source Code", "&Build All", "&Information..", "TW Deploy© &Options..",
             "&Options.."},
            false);
    }
}

// ---------------------------------------------------------------------------------------------
// The project commands

void MainWindow::ShowProject() {
    editor_->RefreshDisplay(project_.items[0].data, project_.fileName);
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
    TakeEditorText();
    WindowControls controls(*this);
    toolBarTimer_.stop();
    TestProject(project_.MainSource(), editor_->windowTitle().toStdString(), editor_->Pane(),
                controls);
    toolBarTimer_.start();
}

void MainWindow::RunCommand() {
    if (running_) return;
    TakeEditorText();
    WindowControls controls(*this);
    toolBarTimer_.stop();
    running_ = true;
    {
        std::unique_ptr<Host> host = makeRunHost();
        Interpreter in(*host, random_);
        in.projectName = project_.fileName;
        const RunFiles files = RunFilesOf(project_);
        RunProject(in, project_.MainSource(), files, editor_->windowTitle().toStdString(),
                   editor_->Pane(), controls);
    }
    running_ = false;
    toolBarTimer_.start();
    UpdateToolBar();
}

// ---------------------------------------------------------------------------------------------
// The layout

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (height() > kMaxHeight) resize(width(), kMaxHeight);
    if (pages_) pages_->setMaximumWidth(std::max(0, width() - 234));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (CloseCommand()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tw
