#include "ide/code_editor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <string>

#include "frontend/keywords.h"
#include "frontend/names.h"
#include "frontend/tokenize.h"

namespace tw {

// ---------------------------------------------------------------------------------------------
// The colouring

namespace {

bool IsNumber(std::string_view token) {
    if (token.empty()) return false;
    const char c = token[0];
    if (c >= '0' && c <= '9') return true;
    return c == '.' && token.size() > 1 && token[1] >= '0' && token[1] <= '9';
}

}  // namespace

std::vector<ColouredToken> ColourLine(std::string_view line) {
    std::vector<ColouredToken> tokens;
    std::vector<std::string> words;
    int position = 1;
    // The tokenizer's own cut, token by token (at most as many as a line can hold).
    while (static_cast<int>(tokens.size()) <= kMaxLineTokens) {
        const int before = position;
        std::string token = NextToken(position, line);
        if (token.empty()) break;
        // The token starts at its first character after the blanks that the tokenizer skips.
        int start = before < 1 ? 0 : before - 1;
        while (start < static_cast<int>(line.size()) && (line[start] == ' ' || line[start] == '\t')) {
            ++start;
        }
        tokens.push_back({start, static_cast<int>(token.size()), WordClass::Plain});
        words.push_back(std::move(token));
    }
    if (tokens.empty()) return tokens;
    if (EqualsUpper(words[0], "REM")) {
        for (ColouredToken& t : tokens) t.cls = WordClass::Comment;
        return tokens;
    }
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& word = words[i];
        ColouredToken& t = tokens[i];
        if (word[0] == '"') {
            t.cls = WordClass::Text;
        } else if (IsNumber(word)) {
            t.cls = WordClass::Number;
        } else if (i > 0 && (EqualsUpper(words[i - 1], "PROCEDURE") ||
                             EqualsUpper(words[i - 1], "CALL"))) {
            t.cls = WordClass::Procedure;
        } else if (FindCommand(ToUpper(word)) >= 0) {
            t.cls = WordClass::Command;
        } else if (FindFunction(ToUpper(word)) >= 0) {
            t.cls = WordClass::Function;
        }
    }
    // A label: a line of one word and a colon.
    if (tokens.size() == 2 && words[1] == ":" && tokens[0].cls == WordClass::Plain) {
        tokens[0].cls = tokens[1].cls = WordClass::Label;
    }
    return tokens;
}

SyntaxColouring::SyntaxColouring(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat SyntaxColouring::Format(WordClass cls) const {
    QTextCharFormat format;
    switch (cls) {
        case WordClass::Plain:
            break;
        case WordClass::Command:
            format.setForeground(QColor(0x00, 0x00, 0xA0));
            format.setFontWeight(QFont::Bold);
            break;
        case WordClass::Function:
            format.setForeground(QColor(0x00, 0x60, 0xA0));
            break;
        case WordClass::Number:
            format.setForeground(QColor(0xA0, 0x40, 0x00));
            break;
        case WordClass::Text:
            format.setForeground(QColor(0x00, 0x80, 0x00));
            break;
        case WordClass::Comment:
            format.setForeground(QColor(0x70, 0x70, 0x70));
            format.setFontItalic(true);
            break;
        case WordClass::Label:
            format.setForeground(QColor(0x80, 0x00, 0x80));
            format.setFontWeight(QFont::Bold);
            break;
        case WordClass::Procedure:
            format.setForeground(QColor(0x80, 0x00, 0x80));
            break;
    }
    return format;
}

void SyntaxColouring::highlightBlock(const QString& text) {
    // The editor holds each byte of the source as one Latin-1 character.
    const QByteArray bytes = text.toLatin1();
    for (const ColouredToken& t :
         ColourLine(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
        if (t.cls != WordClass::Plain) setFormat(t.start, t.length, Format(t.cls));
    }
}

// ---------------------------------------------------------------------------------------------
// The gutter

class EditorGutter : public QWidget {
public:
    explicit EditorGutter(CodeEditor& editor) : QWidget(&editor), editor_(editor) {}
    QSize sizeHint() const override { return QSize(editor_.GutterWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { editor_.PaintGutter(event); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            editor_.GutterClicked(event->position().toPoint().y());
    }

private:
    CodeEditor& editor_;
};

namespace {

// The mark of a line with a breakpoint.
class BreakpointMark : public QTextBlockUserData {};

bool Marked(const QTextBlock& block) {
    return dynamic_cast<BreakpointMark*>(block.userData()) != nullptr;
}

}  // namespace

bool CodeEditor::HasBreakpoint(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line);
    return line >= 0 && block.isValid() && Marked(block);
}

bool CodeEditor::SetBreakpoint(int line, bool on) {
    QTextBlock block = document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid()) return false;
    if (on != Marked(block)) block.setUserData(on ? new BreakpointMark : nullptr);
    gutter_->update();
    return true;
}

std::set<int> CodeEditor::Breakpoints() const {
    std::set<int> lines;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (Marked(b)) lines.insert(b.blockNumber());
    }
    return lines;
}

void CodeEditor::SetBreakpoints(const std::set<int>& lines) {
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const bool on = lines.count(b.blockNumber()) != 0;
        if (on != Marked(b)) b.setUserData(on ? new BreakpointMark : nullptr);
    }
    gutter_->update();
}

void CodeEditor::SetExecutionLine(int line) {
    executionLine_ = line;
    gutter_->update();
}

void CodeEditor::GutterClicked(int y) {
    const QTextBlock block = cursorForPosition(QPoint(0, y)).block();
    if (!block.isValid()) return;
    SetBreakpoint(block.blockNumber(), !Marked(block));
    emit breakpointsChanged();
}

CodeEditor::CodeEditor(QWidget* parent) : QPlainTextEdit(parent) {
    gutter_ = new EditorGutter(*this);
    gutter_->setObjectName("Gutter");
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::UpdateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::UpdateGutter);
    UpdateGutterWidth();
    SetColouring(true);
}

void CodeEditor::SetColouring(bool on) {
    if (on == Colouring()) return;
    if (on) {
        colouring_ = new SyntaxColouring(document());
        colouring_->rehighlight();  // now, not once the events are processed
    } else {
        delete colouring_;
        colouring_ = nullptr;
        // The formats the colouring left go with it.
        const QSignalBlocker quiet(this);
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
            b.layout()->clearFormats();
        }
        viewport()->update();
    }
}

int CodeEditor::GutterWidth() const {
    int digits = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10) ++digits;
    // The numbers, and room for a breakpoint's disc before them.
    return 8 + fontMetrics().height() +
           fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void CodeEditor::UpdateGutterWidth() {
    setViewportMargins(GutterWidth(), 0, 0, 0);
}

void CodeEditor::UpdateGutter(const QRect& rect, int dy) {
    if (dy != 0) {
        gutter_->scroll(0, dy);
    } else {
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    }
    if (rect.contains(viewport()->rect())) UpdateGutterWidth();
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
}

void CodeEditor::PaintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), QColor(0xEE, 0xEE, 0xEE));
    const int current = textCursor().blockNumber();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            const int line = block.blockNumber();
            const int size = fontMetrics().height();
            if (Marked(block)) {
                // A breakpoint: a red disc at the gutter's left.
                painter.setBrush(QColor(0xD0, 0x20, 0x20));
                painter.setPen(Qt::NoPen);
                painter.drawEllipse(QRect(2, top + 2, size - 4, size - 4));
            }
            if (line == executionLine_) {
                // Where a paused run stands: a yellow arrow over the breakpoint's place.
                const QPolygon arrow({QPoint(2, top + 3), QPoint(size - 2, top + size / 2),
                                      QPoint(2, top + size - 3)});
                painter.setBrush(QColor(0xF0, 0xC0, 0x00));
                painter.setPen(QColor(0x80, 0x60, 0x00));
                painter.drawPolygon(arrow);
            }
            painter.setPen(line == current ? Qt::black : Qt::gray);
            painter.drawText(0, top, gutter_->width() - 4, size, Qt::AlignRight,
                             QString::number(line + 1));
        }
        block = block.next();
        top = bottom;
    }
}

}  // namespace tw
