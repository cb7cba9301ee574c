// The environment's small windows.
//
// Sections: the debug window; the find window; the project information window; the tips; the
// logo; the about box.

#include "ide/auxiliary_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "commands/reference.h"

namespace tw {

// ---------------------------------------------------------------------------------------------
// The debug window

DebugWindow::DebugWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Debug Window..");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    text_ = new QPlainTextEdit(body);
    text_->setObjectName("Debug_RichEdit");
    text_->setReadOnly(true);
    text_->setPlainText(
        "\n** DEBUG WINDOW **\n\n"
        "The debug window shows output from the OutputDebug command,\n"
        "and can be used to get information from variables, \n"
        "expressions, etc. at run-time.\n\n"
        "This window (currently) has no other functions. The Evaluate\n"
        "box below does not evaluate any expressions, nor are there \n"
        "any useful buttons or menus items. \n\n"
        "Stay Tuned.");
    layout->addWidget(text_);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Evaluate :", body));
    row->addWidget(new QLineEdit(body));  // evaluates nothing
    auto* information = new QPushButton("Debug Information.", body);
    connect(information, &QPushButton::clicked, this, &DebugWindow::ShowInformation);
    row->addWidget(information);
    layout->addLayout(row);
    setCentralWidget(body);

    QMenu* options = menuBar()->addMenu("&Options");
    options->addAction("&Clear", this, &DebugWindow::Clear);
    options->addAction("&Stop messages");
    options->addAction("&Filter Options");
    options->addAction("&Debug Options");
    menuBar()->addMenu("&Debug")->addAction("&Close", this, &QWidget::hide);
    menuBar()->addMenu("&Help");
    resize(520, 320);
}

void DebugWindow::AppendLine(const QString& line) {
    text_->appendPlainText(line);
}

QString DebugWindow::Text() const {
    return text_->toPlainText();
}

void DebugWindow::Clear() {
    text_->clear();
}

void DebugWindow::ShowInformation() {
    text_->setPlainText(
        "****** DEBUG WINDOW ******\n\n"
        "This window provides a way of output information from within\n"
        "Tarnwick at run-time. For more information see the\n"
        "OutputDebug command.\n");
}

// ---------------------------------------------------------------------------------------------
// The find window

namespace {

bool WordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == '_';
}

}  // namespace

qsizetype FindText(const QString& text, const QString& what, qsizetype start, qsizetype length,
                   bool matchCase, bool wholeWords) {
    if (what.isEmpty() || start < 0 || start > text.size()) return -1;
    if (length <= 0) length = text.size();
    const qsizetype end = std::min(text.size(), start + length);
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, start, cs); at >= 0 && at + what.size() <= end;
         at = text.indexOf(what, at + 1, cs)) {
        if (!wholeWords) return at;
        const bool before = at > 0 && WordCharacter(text[at - 1]);
        const bool after = at + what.size() < text.size() && WordCharacter(text[at + what.size()]);
        if (!before && !after) return at;
    }
    return -1;
}

FindWindow::FindWindow(QPlainTextEdit& editor, QWidget* parent) : QDialog(parent), editor_(editor) {
    setWindowTitle("Find Text / Information..");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    history_ = new QComboBox(this);
    history_->setEditable(true);
    history_->setObjectName("FindText_ComboBox");
    form->addRow("Text to find : ", history_);
    layout->addLayout(form);
    matchCase_ = new QCheckBox("&Search is Case Sensitive", this);
    wholeWords_ = new QCheckBox("&Match whole words only", this);
    layout->addWidget(matchCase_);
    layout->addWidget(wholeWords_);

    auto* scope = new QGroupBox(this);
    auto* scopeLayout = new QVBoxLayout(scope);
    entireUnit_ = new QRadioButton("&Search entire unit", scope);
    selectedText_ = new QRadioButton("Search through selected &text", scope);
    entireUnit_->setChecked(true);
    scopeLayout->addWidget(entireUnit_);
    scopeLayout->addWidget(selectedText_);
    auto* origin = new QGroupBox(this);
    auto* originLayout = new QVBoxLayout(origin);
    fromTop_ = new QRadioButton("Start at &top of unit", origin);
    fromCursor_ = new QRadioButton("Start at &Cusor position", origin);
    fromTop_->setChecked(true);
    originLayout->addWidget(fromTop_);
    originLayout->addWidget(fromCursor_);
    auto* choices = new QHBoxLayout;
    choices->addWidget(scope);
    choices->addWidget(origin);
    layout->addLayout(choices);
    connect(entireUnit_, &QRadioButton::clicked, this, &FindWindow::UpdateStart);
    connect(selectedText_, &QRadioButton::clicked, this, &FindWindow::UpdateStart);

    auto* buttons = new QHBoxLayout;
    auto* search = new QPushButton("&Search...", this);
    auto* cancel = new QPushButton("Cancel", this);
    buttons->addWidget(search);
    buttons->addWidget(cancel);
    buttons->addWidget(new QPushButton("&Help", this));  // no help yet
    layout->addLayout(buttons);
    connect(search, &QPushButton::clicked, this, [this] { Search(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    tell = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
}

// The starting point matters only when the whole unit is searched.
void FindWindow::UpdateStart() {
    const bool entire = entireUnit_->isChecked();
    fromTop_->setEnabled(entire);
    fromCursor_->setEnabled(entire);
}

void FindWindow::Prepare() {
    const bool selection = editor_.textCursor().hasSelection();
    selectedText_->setEnabled(selection);
    if (selectedText_->isChecked()) entireUnit_->setChecked(true);
    UpdateStart();
}

int FindWindow::Open() {
    Prepare();
    return exec();
}

namespace {

// Selects what a search found: `length` characters at `at`.
void SelectFound(QPlainTextEdit& editor, qsizetype at, qsizetype length) {
    QTextCursor found(editor.document());
    found.setPosition(static_cast<int>(at));
    found.setPosition(static_cast<int>(at + length), QTextCursor::KeepAnchor);
    editor.setTextCursor(found);
}

}  // namespace

bool FindWindow::Search() {
    try {
        const QString what = history_->currentText();
        bool known = false;
        for (int i = 0; i < history_->count() && !known; ++i) {
            known = history_->itemText(i).compare(what, Qt::CaseInsensitive) == 0;
        }
        if (!known) history_->addItem(what);
        history_->setCurrentText(what);

        const QTextCursor cursor = editor_.textCursor();
        qsizetype start = 0, length = 0;
        if (selectedText_->isChecked() && selectedText_->isEnabled()) {
            start = cursor.selectionStart();
            length = cursor.selectionEnd() - cursor.selectionStart();
        } else if (fromCursor_->isChecked()) {
            start = cursor.selectionEnd();
        }
        const QString text = editor_.toPlainText();
        const qsizetype at =
            FindText(text, what, start, length, matchCase_->isChecked(), wholeWords_->isChecked());
        if (at < 0) {
            tell("Search string " + what + " was not found.");
            return false;
        }
        SelectFound(editor_, at, what.size());
        return true;
    } catch (...) {
        tell("Find Error!");
        return false;
    }
}

bool FindWindow::SearchAgain() {
    if (history_->currentText().isEmpty()) return false;
    entireUnit_->setChecked(true);
    fromCursor_->setChecked(true);
    UpdateStart();
    return Search();
}

// ---------------------------------------------------------------------------------------------
// The replace window

ReplaceWindow::ReplaceWindow(QPlainTextEdit& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
    setWindowTitle("Replace Text");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    what_ = new QLineEdit(this);
    with_ = new QLineEdit(this);
    form->addRow("Text to find : ", what_);
    form->addRow("Replace with : ", with_);
    layout->addLayout(form);
    matchCase_ = new QCheckBox("&Search is Case Sensitive", this);
    wholeWords_ = new QCheckBox("&Match whole words only", this);
    layout->addWidget(matchCase_);
    layout->addWidget(wholeWords_);
    auto* buttons = new QHBoxLayout;
    auto* next = new QPushButton("&Find Next", this);
    auto* one = new QPushButton("&Replace", this);
    auto* all = new QPushButton("Replace &All", this);
    auto* close = new QPushButton("Close", this);
    for (QPushButton* b : {next, one, all, close}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(one, &QPushButton::clicked, this, [this] { ReplaceOne(); });
    connect(all, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    tell = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
}

bool ReplaceWindow::FindNext() {
    const QString what = what_->text();
    if (what.isEmpty()) return false;
    const QString text = editor_.toPlainText();
    qsizetype at = FindText(text, what, editor_.textCursor().selectionEnd(), 0,
                            matchCase_->isChecked(), wholeWords_->isChecked());
    if (at < 0) at = FindText(text, what, 0, 0, matchCase_->isChecked(), wholeWords_->isChecked());
    if (at < 0) {
        tell("Search string " + what + " was not found.");
        return false;
    }
    SelectFound(editor_, at, what.size());
    return true;
}

bool ReplaceWindow::SelectionMatches() const {
    const QTextCursor cursor = editor_.textCursor();
    if (!cursor.hasSelection()) return false;
    const QString text = editor_.toPlainText();
    const qsizetype start = cursor.selectionStart();
    const qsizetype length = cursor.selectionEnd() - start;
    return length == what_->text().size() &&
           FindText(text, what_->text(), start, length, matchCase_->isChecked(),
                    wholeWords_->isChecked()) == start;
}

bool ReplaceWindow::ReplaceOne() {
    if (editor_.isReadOnly() || what_->text().isEmpty()) return false;
    if (!SelectionMatches()) {
        FindNext();
        return false;
    }
    QTextCursor cursor = editor_.textCursor();
    cursor.insertText(with_->text());
    editor_.setTextCursor(cursor);
    FindNext();
    return true;
}

int ReplaceWindow::ReplaceAll() {
    const QString what = what_->text();
    if (editor_.isReadOnly() || what.isEmpty()) return 0;
    // The occurrences in the text as it is, replaced from the last so that the earlier
    // positions stay where they are; one edit block, so one undo takes them all back.
    const QString text = editor_.toPlainText();
    std::vector<qsizetype> places;
    for (qsizetype at = 0;;) {
        at = FindText(text, what, at, 0, matchCase_->isChecked(), wholeWords_->isChecked());
        if (at < 0) break;
        places.push_back(at);
        at += what.size();
    }
    if (!places.empty()) {
        QTextCursor cursor(editor_.document());
        cursor.beginEditBlock();
        for (auto it = places.rbegin(); it != places.rend(); ++it) {
            cursor.setPosition(static_cast<int>(*it));
            cursor.setPosition(static_cast<int>(*it + what.size()), QTextCursor::KeepAnchor);
            cursor.insertText(with_->text());
        }
        cursor.endEditBlock();
    }
    tell(QString::number(places.size()) + (places.size() == 1 ? " occurrence" : " occurrences") +
         " replaced.");
    return static_cast<int>(places.size());
}

// ---------------------------------------------------------------------------------------------
// The debugger's tables

DebugTableWindow::DebugTableWindow(const QString& title, const QStringList& columns,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, static_cast<int>(columns.size()), this);
    table_->setHorizontalHeaderLabels(columns);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    resize(420, 300);
}

void DebugTableWindow::SetRows(const std::vector<QStringList>& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < table_->columnCount(); ++c) {
            const QString text = c < rows[r].size() ? rows[r][c] : QString();
            table_->setItem(r, c, new QTableWidgetItem(text));
        }
    }
}

QStringList DebugTableWindow::RowTexts() const {
    QStringList rows;
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c) {
            const QTableWidgetItem* item = table_->item(r, c);
            cells.push_back(item ? item->text() : QString());
        }
        rows.push_back(cells.join(" | "));
    }
    return rows;
}

// ---------------------------------------------------------------------------------------------
// The project information window

std::array<QString, 4> ProjectCounts(const ProjectState* project) {
    int64_t sourceBytes = 0, sourceUnits = 0, files = 0, bytes = 0;
    if (project && project->projectOpen) {
        for (const ProjectItem& item : project->items) {
            if (!item.used) continue;
            ++files;
            bytes += item.size;
            if (item.kind == static_cast<uint8_t>(ItemKind::Source)) {
                ++sourceUnits;
                sourceBytes += item.size;
            }
        }
    }
    return {QString::number(sourceBytes) + " bytes", QString::number(sourceUnits) + " units",
            QString::number(files), QString::number(bytes) + " bytes"};
}

InformationWindow::InformationWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Information..");
    auto* form = new QFormLayout(this);
    const char* rows[][2] = {
        {"Source code size : ", "0 bytes"}, {"Source code units :", "0 units"},
        {"Number of files :", "0"},         {"Size of files :", "0 bytes"},
        {"Source compiled :", "0 lines"},   {"Code size :", "0 bytes"},
        {"Data size :", "0 bytes"},         {"Initial stack size :", "0 bytes"},
        {"File size :", "0 bytes"},         {"Compressed :", "Not supported"},
    };
    for (const auto& row : rows) {
        auto* value = new QLabel(row[1], this);
        form->addRow(row[0], value);
        values_.emplace_back(row[0], value);
    }
    form->addRow(new QLabel("Project not compiled.", this));
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    form->addRow(ok);
}

void InformationWindow::Fill(const ProjectState* project) {
    const std::array<QString, 4> counts = ProjectCounts(project);
    for (size_t i = 0; i < counts.size(); ++i) values_[i].second->setText(counts[i]);
}

int InformationWindow::Open(const ProjectState* project) {
    Fill(project);
    return exec();
}

QString InformationWindow::Value(const QString& caption) const {
    for (const auto& [name, label] : values_) {
        if (name == caption) return label->text();
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// The tips

QString WelcomeTip() {
    QString tip = "Welcome To Tarnwick\r\r>> PLEASE READ THIS <<\r\r";
    for (const char* line : {"Tarnwick is still in Alpha development and testing which",
                             "means that its NOT complete. There are buttons, menus, etc.",
                             "which don`t work correctly or at all :)", "",
                             "See https://tarnwick.example.org for the latest version."}) {
        tip += QString(line) + "\r";
    }
    return tip + "Released : August 1999\r";
}

QString KnownIssuesTip() {
    QString tip = "KNOWN ISSUES / BUGS\r\r";
    for (const char* line : {"* The colour of Images in the project view window are corrupt.",
                             "* Immediate modes keyboard support is crap, these no delete!",
                             "* Tarnwick doesn`t check code before running it.",
                             "* Error handling is still primitive.", "", "STILL TO DO",
                             "Sprite (35% done), Bobs/Music/Sounds/Networking (0% done)",
                             "3D Engine (10% done) and Remote debugging (5% done)"}) {
        tip += QString(line) + "\r";
    }
    return tip;
}

namespace {

// A carriage return shows as a line end.
QString Shown(QString text) {
    return text.replace('\r', '\n');
}

}  // namespace

TipsWindow::TipsWindow(FlagStore& flags, QWidget* parent) : QDialog(parent), flags_(flags) {
    setWindowTitle("Tips of the century");
    auto* layout = new QVBoxLayout(this);
    tip_ = new QLabel(this);
    tip_->setTextFormat(Qt::PlainText);
    layout->addWidget(tip_);
    showOnStartup_ = new QCheckBox("&Show Tips on Startup", this);
    layout->addWidget(showOnStartup_);
    auto* buttons = new QHBoxLayout;
    auto* more = new QPushButton("&more", this);
    auto* next = new QPushButton("&Next Tip..", this);  // one tip only
    auto* close = new QPushButton("&Close", this);
    buttons->addWidget(more);
    buttons->addWidget(next);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(more, &QPushButton::clicked, this, &TipsWindow::ShowMore);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(showOnStartup_, &QCheckBox::clicked, this,
            [this](bool on) { flags_.WriteFlag(kTipsSection, kStartupFlag, on); });
    Prepare();
}

void TipsWindow::Prepare() {
    showOnStartup_->setChecked(flags_.ReadFlag(kTipsSection, kStartupFlag, true));
    tip_->setText(Shown(WelcomeTip()));
}

QString TipsWindow::Tip() const {
    return tip_->text();
}

void TipsWindow::ShowMore() {
    tip_->setText(Shown(KnownIssuesTip()));
}

// ---------------------------------------------------------------------------------------------
// The logo

LogoWindow::LogoWindow(QWidget* enableOnClose, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen), enableOnClose_(enableOnClose) {
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(LogoPicture());
    layout->addWidget(picture);
    layout->addWidget(new QLabel("V 0.40.249", this));
    layout->addWidget(
        new QLabel("A development environment and interpreter for small games.\n"
                   "Free software: see the licence that comes with it.",
                   this));
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kShowMs);
    connect(timer_, &QTimer::timeout, this, [this] { done(QDialog::Accepted); });
}

void LogoWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer_->start();
    raise();
    activateWindow();
}

void LogoWindow::mousePressEvent(QMouseEvent*) {
    done(QDialog::Accepted);
}

// Whenever it loses the focus it comes to the front again.
void LogoWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) raise();
}

// Closing, however it happens, makes the main window usable.
void LogoWindow::done(int result) {
    timer_->stop();
    if (enableOnClose_) enableOnClose_->setEnabled(true);
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------------------
// The about box

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Tarnwick..");
    auto* layout = new QVBoxLayout(this);
    for (const char* line :
         {"Tarnwick", "BETA V0.40", "Build : 249",
          "Additional Help :", "https://tarnwick.example.org",
          "Written by the Tarnwick developers, on SDL2, SDL2_ttf, fontconfig and Qt.",
          "Free software, without warranty of any kind."}) {
        layout->addWidget(new QLabel(line, this));
    }
    auto* ok = new QPushButton("&OK", this);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

// It closes as soon as it loses the focus.
void AboutWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) accept();
}

// ---------------------------------------------------------------------------------------------
// The project options

ProjectOptionsWindow::ProjectOptionsWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Project Options..");
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    for (const char* page :
         {"Application", "Interrupter", "Version Info", "Startup", "Run-Time Options"}) {
        pages->addTab(new QWidget(pages), page);
    }
    layout->addWidget(pages);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

// ---------------------------------------------------------------------------------------------
// The logo's picture

QPixmap LogoPicture() {
    constexpr int kWidth = 480, kHeight = 220;
    QPixmap picture(kWidth, kHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(10, 10, 40));
    sky.setColorAt(1, QColor(60, 20, 90));
    p.fillRect(picture.rect(), sky);
    // The same stars every time.
    QRandomGenerator stars(1999);
    for (int i = 0; i < 160; ++i) {
        const int shade = 120 + stars.bounded(136);
        p.setPen(QColor(shade, shade, 255));
        p.drawPoint(stars.bounded(kWidth), stars.bounded(kHeight));
    }
    QFont title("Sans", 46, QFont::Black);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(title);
    p.setPen(QColor(20, 0, 40));
    p.drawText(picture.rect().translated(4, 4), Qt::AlignCenter, "TARNWICK");
    QLinearGradient gold(0, 70, 0, 150);
    gold.setColorAt(0, QColor(255, 240, 150));
    gold.setColorAt(1, QColor(230, 140, 30));
    p.setPen(QPen(QBrush(gold), 1));
    p.drawText(picture.rect(), Qt::AlignCenter, "TARNWICK");
    p.setFont(QFont("Sans", 11));
    p.setPen(QColor(200, 200, 230));
    p.drawText(QRect(0, kHeight - 40, kWidth, 30), Qt::AlignCenter, "Write small games in BASIC");
    return picture;
}

}  // namespace tw

namespace tw {

// ---------------------------------------------------------------------------------------------
// The help window

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A character of a keyword, or of the "$" that may end a text function's name.
bool KeywordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$';
}

}  // namespace

std::pair<QString, QString> WordsAt(const QString& line, int column) {
    const auto n = static_cast<int>(line.size());
    if (column < 0 || column > n) return {};
    // The word the caret is in or just after.
    int start = column;
    while (start > 0 && KeywordCharacter(line[start - 1])) --start;
    int end = column;
    while (end < n && KeywordCharacter(line[end])) ++end;
    if (start == end) {
        // A one-character command: ' or ?.
        if (column < n && (line[column] == '\'' || line[column] == '?')) {
            return {QString(line[column]), {}};
        }
        if (column > 0 && (line[column - 1] == '\'' || line[column - 1] == '?')) {
            return {QString(line[column - 1]), {}};
        }
        return {};
    }
    int nextStart = end;
    while (nextStart < n && line[nextStart] == ' ') ++nextStart;
    int nextEnd = nextStart;
    while (nextEnd < n && KeywordCharacter(line[nextEnd])) ++nextEnd;
    QString word = line.mid(start, end - start);
    word.remove('$');  // LEFT$ is LEFT
    return {word, line.mid(nextStart, nextEnd - nextStart)};
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Tarnwick Help - Language Reference");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    search_ = new QLineEdit(this);
    search_->setPlaceholderText("Search");
    search_->setClearButtonEnabled(true);
    left->addWidget(search_);
    words_ = new QListWidget(this);
    left->addWidget(words_);
    layout->addLayout(left, 1);
    page_ = new QPlainTextEdit(this);
    page_->setReadOnly(true);
    page_->setLineWrapMode(QPlainTextEdit::NoWrap);
    page_->setFont(QFont("Monospace"));
    layout->addWidget(page_, 4);
    for (const ReferenceEntry& entry : Reference()) words_->addItem(Latin1(entry.word));
    connect(search_, &QLineEdit::textChanged, this, &HelpWindow::Filter);
    connect(words_, &QListWidget::currentRowChanged, this, &HelpWindow::ShowChosen);
    resize(960, 620);
    ShowContents();
}

void HelpWindow::Filter(const QString& text) {
    const QString wanted = text.trimmed().toUpper();
    const std::vector<ReferenceEntry>& entries = Reference();
    int first = -1;
    for (int i = 0; i < words_->count(); ++i) {
        const ReferenceEntry& entry = entries[static_cast<size_t>(i)];
        // The word itself, or its text, holds what was typed.
        const bool shown = wanted.isEmpty() || Latin1(entry.word).contains(wanted) ||
                           Latin1(entry.text).toUpper().contains(wanted);
        words_->item(i)->setHidden(!shown);
        if (shown && first < 0 && Latin1(entry.word).startsWith(wanted)) first = i;
    }
    if (first >= 0 && !wanted.isEmpty()) words_->setCurrentRow(first);
}

void HelpWindow::ShowChosen() {
    const int row = words_->currentRow();
    if (row < 0 || row >= static_cast<int>(Reference().size())) return;
    page_->setPlainText(
        QString::fromStdString(ReferenceText(Reference()[static_cast<size_t>(row)])));
}

void HelpWindow::ShowContents() {
    words_->setCurrentRow(-1);
    page_->setPlainText(Latin1(kReferenceIntroduction) + "\nThe words, by family:\n\n" +
                        QString::fromStdString(ReferenceIndex()));
}

bool HelpWindow::ShowWord(const QString& word, const QString& next) {
    const std::vector<const ReferenceEntry*> found = FindReference(word.toStdString());
    if (found.empty()) {
        search_->setText(word);
        return false;
    }
    // The form that the next word names (SCREEN OPEN), else the word's first entry.
    const ReferenceEntry* chosen = found[0];
    const std::string form = (word + " " + next).toUpper().toStdString();
    for (const ReferenceEntry* entry : found) {
        if (entry->word == form) chosen = entry;
    }
    search_->blockSignals(true);
    search_->clear();
    search_->blockSignals(false);
    Filter({});
    words_->setCurrentRow(static_cast<int>(chosen - Reference().data()));
    return true;
}

void HelpWindow::StartSearch() {
    search_->setFocus();
    search_->selectAll();
}

}  // namespace tw
