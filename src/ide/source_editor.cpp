#include "ide/source_editor.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ide/code_editor.h"
#include "ide/icons.h"
#include "ide/indent.h"

namespace tw {

// ---------------------------------------------------------------------------------------------
// The message pane

void EditorMessagePane::AddLine(std::string_view line) {
    window_.AddMessage(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void EditorMessagePane::AddLineAt(std::string_view line, int sourceLine) {
    window_.AddMessage(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())),
                       sourceLine);
}

void EditorMessagePane::Clear() {
    window_.ClearMessages();
}

void EditorMessagePane::CaretToStart() {
    // The pane's caret goes to its start; the editor repaints.
    window_.Editor()->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// The window

namespace {

QFont EditorFont() {
    // Courier's metrics: Liberation Mono where it is installed, else the system's fixed font.
    QFont font("Liberation Mono");
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

}  // namespace

SourceEditorWindow::SourceEditorWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Project : ");
    editor_ = new CodeEditor(this);
    editor_->setObjectName("SourceCode_RichEdit");
    editor_->setFont(EditorFont());
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setTabChangesFocus(false);  // Tab inserts a tab
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    messages_ = new QPlainTextEdit(this);
    messages_->setObjectName("Message_RichEdit");
    messages_->setReadOnly(true);
    messages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    messages_->setMaximumBlockCount(0);
    messages_->hide();

    gauge_ = new QProgressBar(this);
    progress_ = std::make_unique<EditorGauge>(*gauge_);
    gauge_->setObjectName("Gauge");
    gauge_->hide();

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Vertical, body);
    split->addWidget(editor_);
    split->addWidget(messages_);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    layout->addWidget(split);
    layout->addWidget(gauge_);
    setCentralWidget(body);

    const char* panels[4] = {"0 : 0", "", "Normal Editor", kEditorContactLine};
    for (int i = 0; i < 4; ++i) {
        status_[i] = new QLabel(panels[i], this);
        statusBar()->addWidget(status_[i], i == 3 ? 1 : 0);
    }

    BuildTools();
    BuildMenus();
    connect(editor_, &QPlainTextEdit::textChanged, this, &SourceEditorWindow::OnTextChanged);
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this,
            &SourceEditorWindow::UpdateHighlights);
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, editor_->Gutter(),
            qOverload<>(&QWidget::update));
    connect(editor_, &CodeEditor::breakpointsChanged, this,
            &SourceEditorWindow::breakpointsChanged);
    resize(800, 500);
}

void SourceEditorWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placement) setGeometry(*placement);
}

// ---------------------------------------------------------------------------------------------
// The gauge

void EditorGauge::Show(int32_t colour, int maximum) {
    // The colour is a blue, green, red triple in one number, as the test's stages name them.
    const QColor shown(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    gauge_.setStyleSheet(QString("QProgressBar::chunk { background: %1; }").arg(shown.name()));
    gauge_.setRange(0, std::max(1, maximum));
    gauge_.setValue(0);
    gauge_.show();
    Repaint();
}

void EditorGauge::Set(int position) {
    gauge_.setValue(std::clamp(position, gauge_.minimum(), gauge_.maximum()));
}

void EditorGauge::Hide() {
    gauge_.hide();
}

void EditorGauge::Pump() {
    if (sinceRepaint_.isValid() && sinceRepaint_.elapsed() < kRepaintInterval) return;
    Repaint();
}

void EditorGauge::Repaint() {
    sinceRepaint_.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---------------------------------------------------------------------------------------------
// The tools

void SourceEditorWindow::BuildTools() {
    auto* tools = addToolBar("Tools");
    tools->setMovable(false);
    auto add = [&](IconId icon, const QString& hint, bool enabled, auto&& action) {
        auto* button = new QToolButton(tools);
        button->setIcon(Icon(icon));
        button->setToolTip(hint);
        button->setEnabled(enabled);
        connect(button, &QToolButton::clicked, this, action);
        tools->addWidget(button);
        buttons_.push_back(button);
    };
    auto none = [] {};
    add(IconId::Run, "Check and run the project", true, [this] { emit runRequested(); });
    add(IconId::Test, "Checks the project for errors.", true,
        [this] { emit testRequested(); });
    add(IconId::Indent, "&Auto indent selected source code lines", true,
        [this] { AutoIndentLines(); });
    add(IconId::Unindent, "Removes all identing", true, [this] { RemoveIndentLines(); });
    add(IconId::Save, "Save Project", true, [this] { emit saveRequested(); });
    add(IconId::Open, "Open Project", true, [this] { emit openRequested(); });
    add(IconId::Breakpoint, "Add breakpoint @ current line", true,
        [this] { ToggleBreakpointAtCaret(); });
    add(IconId::NextProcedure, "(Goto start of next function or procedure", false, none);
    add(IconId::PreviousProcedure, "(Goto start of last function or procedure", false, none);
}

void SourceEditorWindow::BuildMenus() {
    editorMenu_ = new QMenu(this);
    editorMenu_->setObjectName("SourceCode_PopupMenu");
    editorMenu_->addAction("&Test Project", this, [this] { emit testRequested(); });
    editorMenu_->addAction("&Run Project", this, [this] { emit runRequested(); });
    editorMenu_->addAction("&Run To Cusor", this,
                           [this] { emit runToCursorRequested(CaretLine()); });
    readOnlyAction_ = editorMenu_->addAction("&Read Only", this, [this] {
        SetReadOnly(readOnlyAction_->isChecked());
    });
    readOnlyAction_->setCheckable(true);
    messageViewAction_ = editorMenu_->addAction("&Message View", this, [this] {
        messages_->setVisible(messageViewAction_->isChecked());
    });
    messageViewAction_->setCheckable(true);
    colouringAction_ = editorMenu_->addAction("Syntax &Colouring", this, [this] {
        editor_->SetColouring(colouringAction_->isChecked());
        emit colouringChanged(colouringAction_->isChecked());
    });
    colouringAction_->setCheckable(true);
    editorMenu_->addSeparator();
    for (const char* inert : {"&Save Changes", "&Open New Project", "&New Project", "&Options"}) {
        editorMenu_->addAction(inert);
    }
    // The ticks show the state as it is when the menu opens.
    connect(editorMenu_, &QMenu::aboutToShow, this, [this] {
        messageViewAction_->setChecked(messages_->isVisible());
        colouringAction_->setChecked(editor_->Colouring());
        readOnlyAction_->setChecked(ReadOnly());
    });
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { editorMenu_->popup(editor_->mapToGlobal(at)); });

    messageMenu_ = new QMenu(this);
    messageMenu_->setObjectName("Message_PopupMenu");
    messageMenu_->addAction("&View Source Line", this,
                            [this] { ViewSourceLine(messages_->textCursor().blockNumber()); });
    for (const char* inert : {"&Explain", "&Clear Interrupter Messages", "&Clear Search Results"}) {
        messageMenu_->addAction(inert);
    }
    messages_->viewport()->installEventFilter(this);
    messages_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(messages_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { messageMenu_->popup(messages_->mapToGlobal(at)); });
}

QToolButton* SourceEditorWindow::Button(const QString& hint) const {
    for (QToolButton* b : buttons_) {
        if (b->toolTip() == hint) return b;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// The text

void SourceEditorWindow::RefreshDisplay(const std::vector<uint8_t>& source,
                                        const std::string& fileName) {
    const QByteArray bytes(reinterpret_cast<const char*>(source.data()),
                           static_cast<qsizetype>(source.size()));
    crlf_ = bytes.contains("\r\n");
    {
        const QSignalBlocker quiet(editor_);
        editor_->setPlainText(QString::fromLatin1(bytes));
    }
    QTextCursor start = editor_->textCursor();
    start.setPosition(0);
    editor_->setTextCursor(start);
    SetModified(false);
    errorLine_ = -1;
    UpdateHighlights();
    setWindowTitle(QString::fromStdString(EditorCaption(fileName)));
    show();
}

namespace {

// The document's text as typed: the plain-text form would turn non-breaking spaces (byte 160)
// into blanks. Lines end with LF.
QString RawText(const QPlainTextEdit& editor) {
    QString text = editor.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, '\n');
    text.replace(QChar::LineSeparator, '\n');
    return text;
}

}  // namespace

std::vector<uint8_t> SourceEditorWindow::SourceBytes() const {
    QString text = RawText(*editor_);
    if (crlf_) text.replace('\n', "\r\n");
    const QByteArray bytes = text.toLatin1();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<std::string> SourceEditorWindow::Lines() const {
    std::vector<std::string> lines;
    for (const QString& line : RawText(*editor_).split('\n')) {
        lines.push_back(line.toLatin1().toStdString());
    }
    return lines;
}

void SourceEditorWindow::ReplaceLines(const std::vector<std::string>& lines) {
    const int caret = editor_->textCursor().position();
    QString text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size()));
    }
    // One edit of the whole text, so that it marks the editor modified as typing does.
    QTextCursor all(editor_->document());
    all.select(QTextCursor::Document);
    all.insertText(text);
    QTextCursor back = editor_->textCursor();
    back.setPosition(std::min(caret, editor_->document()->characterCount() - 1));
    editor_->setTextCursor(back);
}

void SourceEditorWindow::AutoIndentLines() {
    std::vector<std::string> lines = Lines();
    AutoIndent(lines);
    ReplaceLines(lines);
}

void SourceEditorWindow::RemoveIndentLines() {
    std::vector<std::string> lines = Lines();
    RemoveIndent(lines);
    ReplaceLines(lines);
}

bool SourceEditorWindow::Modified() const {
    return editor_->document()->isModified();
}

void SourceEditorWindow::SetModified(bool modified) {
    editor_->document()->setModified(modified);
    status_[1]->setText(modified ? "Modified" : "");
}

bool SourceEditorWindow::ReadOnly() const {
    return editor_->isReadOnly();
}

void SourceEditorWindow::SetReadOnly(bool readOnly) {
    editor_->setReadOnly(readOnly);
    status_[2]->setText(readOnly ? "* Read Only *" : "Normal Editor");
}

void SourceEditorWindow::OnTextChanged() {
    // The marked error line may no longer be where the error was.
    if (errorLine_ >= 0) {
        errorLine_ = -1;
        UpdateHighlights();
    }
    const bool modified = Modified();
    status_[1]->setText(modified ? "Modified" : "");
    emit sourceChanged(modified, static_cast<int>(SourceBytes().size()));
}

// ---------------------------------------------------------------------------------------------
// The message pane and the buttons

void SourceEditorWindow::AddMessage(const QString& line, int sourceLine) {
    // A message of several lines leads from each of them.
    const int before = messages_->document()->isEmpty() ? 0 : messages_->blockCount();
    messages_->appendPlainText(line);
    messageLines_.resize(static_cast<size_t>(before), -1);
    messageLines_.resize(static_cast<size_t>(messages_->blockCount()), sourceLine);
    messages_->setVisible(true);
}

void SourceEditorWindow::ClearMessages() {
    messages_->clear();
    messageLines_.clear();
    messages_->setVisible(false);
}

int SourceEditorWindow::MessageSourceLine(int paneLine) const {
    if (paneLine < 0 || paneLine >= static_cast<int>(messageLines_.size())) return -1;
    return messageLines_[static_cast<size_t>(paneLine)];
}

// ---------------------------------------------------------------------------------------------
// Errors lead to their line

int SourceEditorWindow::LineCount() const {
    return editor_->blockCount();
}

bool SourceEditorWindow::MoveToLine(int line) {
    const QTextBlock block = editor_->document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid()) return false;
    QTextCursor cursor(block);
    editor_->setTextCursor(cursor);
    editor_->centerCursor();
    editor_->setFocus();
    return true;
}

bool SourceEditorWindow::GoToLine(int line) {
    if (!MoveToLine(line)) return false;
    errorLine_ = -1;
    UpdateHighlights();
    return true;
}

bool SourceEditorWindow::ShowErrorLine(int sourceLine) {
    if (!MoveToLine(sourceLine)) return false;
    errorLine_ = sourceLine;
    UpdateHighlights();
    return true;
}

bool SourceEditorWindow::ViewSourceLine(int paneLine) {
    return ShowErrorLine(MessageSourceLine(paneLine));
}

namespace {

// Whether pane line i starts an error's message (its first line that leads to a source line).
bool StartsError(const std::vector<int>& lines, size_t i) {
    return lines[i] >= 0 && (i == 0 || lines[i - 1] != lines[i]);
}

}  // namespace

int SourceEditorWindow::ErrorCount() const {
    int count = 0;
    for (size_t i = 0; i < messageLines_.size(); ++i) count += StartsError(messageLines_, i);
    return count;
}

bool SourceEditorWindow::GoToErrorNumber(int number) {
    for (size_t i = 0; i < messageLines_.size(); ++i) {
        if (StartsError(messageLines_, i) && --number == 0) {
            return ViewSourceLine(static_cast<int>(i));
        }
    }
    return false;
}

bool SourceEditorWindow::GoToNextError() {
    const int count = static_cast<int>(messageLines_.size());
    if (count == 0) return false;
    const int here = messages_->textCursor().blockNumber();
    for (int step = 1; step <= count; ++step) {
        const int i = (here + step) % count;
        if (messageLines_[static_cast<size_t>(i)] < 0) continue;
        QTextCursor at(messages_->document()->findBlockByNumber(i));
        messages_->setTextCursor(at);
        return ViewSourceLine(i);
    }
    return false;
}

void SourceEditorWindow::UpdateHighlights() {
    QList<QTextEdit::ExtraSelection> marks;
    QTextEdit::ExtraSelection current;
    current.format.setBackground(QColor(0xF2, 0xF5, 0xFF));
    current.format.setProperty(QTextFormat::FullWidthSelection, true);
    current.cursor = editor_->textCursor();
    current.cursor.clearSelection();
    marks.append(current);
    auto mark = [&](int line, const QColor& colour) {
        const QTextBlock block = editor_->document()->findBlockByNumber(line);
        if (line < 0 || !block.isValid()) return;
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(colour);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = QTextCursor(block);
        marks.append(selection);
    };
    mark(errorLine_, QColor(0xFF, 0xC8, 0xC8));
    mark(editor_->ExecutionLine(), QColor(0xFF, 0xF0, 0x90));
    editor_->setExtraSelections(marks);
}

// ---------------------------------------------------------------------------------------------
// Debugging

std::set<int> SourceEditorWindow::Breakpoints() const {
    return editor_->Breakpoints();
}

void SourceEditorWindow::SetBreakpoints(const std::set<int>& lines) {
    editor_->SetBreakpoints(lines);
}

int SourceEditorWindow::CaretLine() const {
    return editor_->textCursor().blockNumber();
}

void SourceEditorWindow::ToggleBreakpointAtCaret() {
    const int line = CaretLine();
    editor_->SetBreakpoint(line, !editor_->HasBreakpoint(line));
    emit breakpointsChanged();
}

void SourceEditorWindow::ShowExecutionLine(int line) {
    editor_->SetExecutionLine(line);
    if (line >= 0) MoveToLine(line);
    UpdateHighlights();
}

int SourceEditorWindow::ExecutionLine() const {
    return editor_->ExecutionLine();
}

bool SourceEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    // A double-click on a pane line leads to its source line.
    if (watched == messages_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        const int paneLine = messages_->cursorForPosition(click->position().toPoint()).blockNumber();
        if (MessageSourceLine(paneLine) >= 0) {
            ViewSourceLine(paneLine);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString SourceEditorWindow::Messages() const {
    return messages_->toPlainText();
}

bool SourceEditorWindow::MessagesVisible() const {
    return !messages_->isHidden();
}

void SourceEditorWindow::SetTestAndRunEnabled(bool enabled) {
    Button("Check and run the project")->setEnabled(enabled);
    Button("Checks the project for errors.")->setEnabled(enabled);
}

}  // namespace tw
