#pragma once
// The source editor's text widget: a plain-text editor with a line-number gutter, and the
// syntax colouring of the language's words.
//
// The colouring cuts each line into tokens with the tokenizer's own function and looks the words
// up in the tokenizer's keyword tables, so it can never disagree with what a run reads: a word
// is coloured as a command exactly when the command table holds it, and a line is a comment
// exactly when the tokenizer skips it (its first token is REM).

#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <set>
#include <string_view>
#include <vector>

namespace tw {

// What a token of a line is to the colouring.
enum class WordClass : uint8_t {
    Plain,      // an operator, a variable, anything else
    Command,    // a word of the command table
    Function,   // a word of the function table (and not of the command table)
    Number,     // a number
    Text,       // a quoted text
    Comment,    // every token of a line whose first token is REM
    Label,      // a label and its colon ("TOP:" at the start of a line)
    Procedure,  // the name after PROCEDURE or CALL
};

struct ColouredToken {
    int start = 0;   // 0-based position in the line
    int length = 0;  // in characters
    WordClass cls = WordClass::Plain;
};

// The line's tokens as the tokenizer cuts them, each with its class.
std::vector<ColouredToken> ColourLine(std::string_view line);

class SyntaxColouring : public QSyntaxHighlighter {
public:
    explicit SyntaxColouring(QTextDocument* document);
    QTextCharFormat Format(WordClass cls) const;

protected:
    void highlightBlock(const QString& text) override;
};

class CodeEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeEditor(QWidget* parent = nullptr);
    // Colouring on or off (on at first).
    void SetColouring(bool on);
    bool Colouring() const { return colouring_ != nullptr; }
    int GutterWidth() const;
    QWidget* Gutter() const { return gutter_; }

    // Breakpoints on 0-based lines, kept on the text's lines so that they move with them as
    // the text is edited (a line that is deleted loses its breakpoint). A click in the gutter
    // sets or clears one.
    bool HasBreakpoint(int line) const;
    // False for a line the text does not have.
    bool SetBreakpoint(int line, bool on);
    std::set<int> Breakpoints() const;
    void SetBreakpoints(const std::set<int>& lines);
    // The line a paused run stands on (-1: none), marked in the gutter.
    void SetExecutionLine(int line);
    int ExecutionLine() const { return executionLine_; }

signals:
    // The user set or cleared a breakpoint.
    void breakpointsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class EditorGutter;
    void PaintGutter(QPaintEvent* event);
    void GutterClicked(int y);
    void UpdateGutterWidth();
    void UpdateGutter(const QRect& rect, int dy);

    QWidget* gutter_ = nullptr;
    SyntaxColouring* colouring_ = nullptr;
    int executionLine_ = -1;
};

}  // namespace tw
