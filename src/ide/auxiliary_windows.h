#pragma once
// The environment's small windows: the debug window (OUTPUTDEBUG's lines), the find window, the
// project information window, the tips, the start-up logo, the about box and the project options.

#include <QDialog>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "platform/flags.h"
#include "project/twp_file.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace tw {

// ---------------------------------------------------------------------------------------------
// The debug window

class DebugWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit DebugWindow(QWidget* parent = nullptr);
    // OUTPUTDEBUG's line, added while the window is shown.
    void AppendLine(const QString& line);
    QString Text() const;
    void Clear();
    // The "Debug Information." button's text.
    void ShowInformation();

private:
    QPlainTextEdit* text_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The find window

// Where `what` first occurs in text[start, start + length) (a length of 0: to the end), matching
// case or not and whole words only or not; -1 when it does not.
qsizetype FindText(const QString& text, const QString& what, qsizetype start, qsizetype length,
                   bool matchCase, bool wholeWords);

class FindWindow : public QDialog {
    Q_OBJECT

public:
    // Searches `editor`.
    explicit FindWindow(QPlainTextEdit& editor, QWidget* parent = nullptr);
    // Prepares the window for a search (the selection decides the range choices) and shows it
    // modally.
    int Open();
    // The "&Search..." button: true when found (and selected).
    bool Search();
    // "&Search Again": the last search once more, over the entire unit from the cursor (after
    // the text found last); false when there is none yet or nothing more is found.
    bool SearchAgain();

    QComboBox* History() const { return history_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QCheckBox* WholeWords() const { return wholeWords_; }
    QRadioButton* EntireUnit() const { return entireUnit_; }
    QRadioButton* SelectedText() const { return selectedText_; }
    QRadioButton* FromTop() const { return fromTop_; }
    QRadioButton* FromCursor() const { return fromCursor_; }
    // Prepares the range choices as showing the window does.
    void Prepare();
    // How the window tells the user something (an information box; tests listen instead).
    std::function<void(const QString&)> tell;

private:
    void UpdateStart();

    QPlainTextEdit& editor_;
    QComboBox* history_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWords_ = nullptr;
    QRadioButton* entireUnit_ = nullptr;
    QRadioButton* selectedText_ = nullptr;
    QRadioButton* fromTop_ = nullptr;
    QRadioButton* fromCursor_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The replace window: a text to find and its replacement, one occurrence at a time or all at
// once (one step to undo).

class ReplaceWindow : public QDialog {
    Q_OBJECT

public:
    explicit ReplaceWindow(QPlainTextEdit& editor, QWidget* parent = nullptr);

    // Selects the next occurrence after the selection, from the top once past the end; false
    // when there is none.
    bool FindNext();
    // Replaces the selection when it is an occurrence, then selects the next one; false when
    // nothing was replaced.
    bool ReplaceOne();
    // Replaces every occurrence; how many were replaced.
    int ReplaceAll();

    QLineEdit* What() const { return what_; }
    QLineEdit* With() const { return with_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QCheckBox* WholeWords() const { return wholeWords_; }
    std::function<void(const QString&)> tell;

private:
    bool SelectionMatches() const;
    QPlainTextEdit& editor_;
    QLineEdit* what_ = nullptr;
    QLineEdit* with_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWords_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// A debugger's table (the watches, the call stack, the breakpoints, the timer events, the run-time
// statistics): rows of texts under column captions, filled again whenever the run pauses.

class DebugTableWindow : public QDialog {
    Q_OBJECT

public:
    DebugTableWindow(const QString& title, const QStringList& columns, QWidget* parent = nullptr);
    void SetRows(const std::vector<QStringList>& rows);
    QTableWidget* Table() const { return table_; }
    // The rows as texts, the cells of a row joined by " | " (for tests).
    QStringList RowTexts() const;

private:
    QTableWidget* table_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The project information window

// The four counted values: source code bytes, source code units, files, bytes of all files (all
// "0 bytes", "0 units", "0", "0 bytes" without an open project).
std::array<QString, 4> ProjectCounts(const ProjectState* project);

class InformationWindow : public QDialog {
    Q_OBJECT

public:
    explicit InformationWindow(QWidget* parent = nullptr);
    // Counts the project (null or closed: none) and shows the window modally.
    int Open(const ProjectState* project);
    void Fill(const ProjectState* project);
    QString Value(const QString& caption) const;

private:
    std::vector<std::pair<QString, QLabel*>> values_;
};

// ---------------------------------------------------------------------------------------------
// The tips, the logo and the about box

class TipsWindow : public QDialog {
    Q_OBJECT

public:
    TipsWindow(FlagStore& flags, QWidget* parent = nullptr);
    // Sets the check box from the flag and shows the first page.
    void Prepare();
    QString Tip() const;
    QCheckBox* ShowOnStartup() const { return showOnStartup_; }
    void ShowMore();

private:
    FlagStore& flags_;
    QLabel* tip_ = nullptr;
    QCheckBox* showOnStartup_ = nullptr;
};

// The tips' two pages.
QString WelcomeTip();
QString KnownIssuesTip();

class LogoWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kShowMs = 5500;
    // `enableOnClose` (the main window) is enabled when the logo closes.
    explicit LogoWindow(QWidget* enableOnClose, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    QWidget* enableOnClose_;
    QTimer* timer_ = nullptr;
};

class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
};

// The project's options: five pages with nothing on them yet. The item that would open it stays
// disabled.
class ProjectOptionsWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProjectOptionsWindow(QWidget* parent = nullptr);
};

// The logo's picture: the product's name over a field of stars.
QPixmap LogoPicture();

}  // namespace tw

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace tw {

// ---------------------------------------------------------------------------------------------
// The help window

// The language reference: a search field, the list of the reference's words (every command,
// command form and function) and the chosen one's entry. Typing in the search field narrows the
// list to the words that hold the text; an empty field lists them all.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // The first page: the language's traps and every word by family ("&Contents").
    void ShowContents();
    // The entry of a word under the editor's caret (`next` is the word after it, for a form
    // such as SCREEN OPEN); false when the reference has none, and then the search field holds
    // the word.
    bool ShowWord(const QString& word, const QString& next = {});
    // The search field, with the focus ("&Keyword Search").
    void StartSearch();

    QLineEdit* Search() const { return search_; }
    QListWidget* Words() const { return words_; }
    QPlainTextEdit* Page() const { return page_; }

private:
    void Filter(const QString& text);
    void ShowChosen();

    QLineEdit* search_ = nullptr;
    QListWidget* words_ = nullptr;
    QPlainTextEdit* page_ = nullptr;
};

// The word at a column of a line of the editor, and the word after it ("" when none): what F1
// asks the reference about.
std::pair<QString, QString> WordsAt(const QString& line, int column);

}  // namespace tw
