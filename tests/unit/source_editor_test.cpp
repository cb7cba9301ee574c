// The source editor window on Qt's offscreen platform: the main unit's bytes in and out, the
// modified mark, the indentation tools, read-only mode, the message pane and the tool panel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <QTextBlock>

#include "frontend/keywords.h"
#include "ide/source_editor.h"

namespace tw {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

TEST(SourceEditor, EveryByteSurvivesALoadAndASave) {
    SourceEditorWindow window;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    }
    const std::string text = "PRINT 1\r\n" + all + "\r\nEND\r\n";
    window.RefreshDisplay(Bytes(text), "game.twp");
    const std::vector<uint8_t> back = window.SourceBytes();
    ASSERT_EQ(back.size(), text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        ASSERT_EQ(back[i], static_cast<uint8_t>(text[i])) << "byte " << i;
    }
    // A file with LF line ends keeps them.
    window.RefreshDisplay(Bytes("A\nB\n"), "game.twp");
    EXPECT_EQ(window.SourceBytes(), Bytes("A\nB\n"));
}

TEST(SourceEditor, LoadingShowsACleanEditorAndTypingMarksItModified) {
    SourceEditorWindow window;
    QSignalSpy changes(&window, &SourceEditorWindow::sourceChanged);
    window.RefreshDisplay(Bytes("LET A = 1\n"), "game.twp");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Project : game.twp");
    EXPECT_FALSE(window.Modified());
    EXPECT_EQ(window.StatusPanel(0)->text(), "0 : 0");
    EXPECT_EQ(window.StatusPanel(1)->text(), "");
    EXPECT_EQ(window.StatusPanel(2)->text(), "Normal Editor");
    EXPECT_EQ(window.Editor()->textCursor().position(), 0);
    EXPECT_EQ(changes.count(), 0);
    QTest::keyClick(window.Editor(), Qt::Key_X);
    EXPECT_TRUE(window.Modified());
    EXPECT_EQ(window.StatusPanel(1)->text(), "Modified");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toBool(), true);
    EXPECT_EQ(changes[0][1].toInt(), 11);
    // Tab inserts a tab character.
    QTest::keyClick(window.Editor(), Qt::Key_Tab);
    EXPECT_EQ(window.SourceBytes(), Bytes("x\tLET A = 1\n"));
}

TEST(SourceEditor, IndentationToolsWorkOnEveryLineAndKeepTheCaret) {
    SourceEditorWindow window;
    window.RefreshDisplay(Bytes("FOR I = 1 TO 3\nPRINT I\nNEXT\nEND"), "game.twp");
    QTextCursor at = window.Editor()->textCursor();
    at.setPosition(5);
    window.Editor()->setTextCursor(at);
    window.Button("&Auto indent selected source code lines")->click();
    EXPECT_EQ(window.SourceBytes(), Bytes("FOR I = 1 TO 3\n\tPRINT I\nNEXT\nEND"));
    EXPECT_EQ(window.Editor()->textCursor().position(), 5);
    EXPECT_TRUE(window.Modified());
    window.Button("Removes all identing")->click();
    EXPECT_EQ(window.SourceBytes(), Bytes("FOR I = 1 TO 3\nPRINT I\nNEXT\nEND"));
}

TEST(SourceEditor, ReadOnlyAndMessageViewFollowThePopUpMenu) {
    SourceEditorWindow window;
    window.RefreshDisplay(Bytes("END\n"), "game.twp");
    QMenu* menu = window.EditorMenu();
    QAction* readOnly = nullptr;
    QAction* messageView = nullptr;
    for (QAction* a : menu->actions()) {
        if (a->text() == "&Read Only") readOnly = a;
        if (a->text() == "&Message View") messageView = a;
    }
    ASSERT_TRUE(readOnly && messageView);
    emit menu->aboutToShow();
    EXPECT_FALSE(readOnly->isChecked());
    EXPECT_FALSE(messageView->isChecked());
    readOnly->trigger();
    EXPECT_TRUE(window.ReadOnly());
    EXPECT_EQ(window.StatusPanel(2)->text(), "* Read Only *");
    messageView->trigger();
    EXPECT_TRUE(window.MessagesVisible());
    readOnly->trigger();
    EXPECT_EQ(window.StatusPanel(2)->text(), "Normal Editor");
}

struct Controls : CheckAndRunHost {
    void SetTestAndRunEnabled(bool enabled) override { window->SetTestAndRunEnabled(enabled); }
    SourceEditorWindow* window = nullptr;
};

TEST(SourceEditor, TheMessagePaneShowsWhileItHoldsText) {
    SourceEditorWindow window;
    window.RefreshDisplay(Bytes("HOME 5\n"), "game.twp");
    EXPECT_FALSE(window.MessagesVisible());
    Controls controls;
    controls.window = &window;
    const std::string caption = window.windowTitle().toStdString();
    const std::vector<uint8_t> source = window.SourceBytes();
    const std::string text(source.begin(), source.end());
    TestProject(text, caption, window.Pane(), controls);
    TestProject(text, caption, window.Pane(), controls);
    EXPECT_TRUE(window.MessagesVisible());
    const QStringList lines = window.Messages().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Testing Error : Project : game.twp: "));
    EXPECT_TRUE(window.Button("Check and run the project")->isEnabled());
    TestProject("END\n", caption, window.Pane(), controls);
    EXPECT_FALSE(window.MessagesVisible());
    EXPECT_TRUE(window.Messages().isEmpty());
}

// Errors lead to their line: from the pane (by number, the next one, a double-click, the pane's
// menu) and after a run-time error's box.
TEST(SourceEditor, ErrorsLeadToTheirLines) {
    SourceEditorWindow window;
    window.RefreshDisplay(Bytes("LET A = 1\nIF A = 1 THEN HOME 5\nLET B = 2\nHOME 6\n"),
                          "game.twp");
    Controls controls;
    controls.window = &window;
    const std::string caption = window.windowTitle().toStdString();
    TestProject("LET A = 1\nIF A = 1 THEN HOME 5\n", caption, window.Pane(), controls);
    TestProject("LET A = 1\nLET B = 2\nLET C = 3\nHOME 6\n", caption, window.Pane(), controls);
    window.AddMessage("a note that leads nowhere");
    EXPECT_EQ(window.ErrorCount(), 2);
    EXPECT_EQ(window.MessageSourceLine(0), 1);
    EXPECT_EQ(window.MessageSourceLine(1), 3);
    EXPECT_EQ(window.MessageSourceLine(2), -1);
    EXPECT_EQ(window.ErrorLine(), -1);

    ASSERT_TRUE(window.GoToErrorNumber(2));
    EXPECT_EQ(window.Editor()->textCursor().blockNumber(), 3);
    EXPECT_EQ(window.Editor()->textCursor().positionInBlock(), 0);
    EXPECT_EQ(window.ErrorLine(), 3);
    EXPECT_FALSE(window.GoToErrorNumber(3));
    EXPECT_FALSE(window.ViewSourceLine(2));
    // The next error after the pane's caret, from the top after the last.
    QTextCursor paneCaret(window.MessageView()->document()->findBlockByNumber(1));
    window.MessageView()->setTextCursor(paneCaret);
    ASSERT_TRUE(window.GoToNextError());
    EXPECT_EQ(window.ErrorLine(), 1);
    ASSERT_TRUE(window.GoToNextError());
    EXPECT_EQ(window.ErrorLine(), 3);
    // A double-click on the first pane line.
    window.MessageView()->resize(600, 200);
    const QRect first = window.MessageView()->cursorRect(
        QTextCursor(window.MessageView()->document()->firstBlock()));
    QTest::mouseDClick(window.MessageView()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(window.ErrorLine(), 1);
    EXPECT_EQ(window.Editor()->textCursor().blockNumber(), 1);
    // The marked line is one of the editor's highlights until the text changes.
    const auto marks = window.Editor()->extraSelections();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[1].cursor.blockNumber(), 1);
    QTest::keyClick(window.Editor(), Qt::Key_X);
    EXPECT_EQ(window.ErrorLine(), -1);
    EXPECT_EQ(window.Editor()->extraSelections().size(), 1);  // the current line's only
    // A run-time error's line; a line the text does not have is refused.
    EXPECT_TRUE(window.ShowErrorLine(2));
    EXPECT_EQ(window.ErrorLine(), 2);
    EXPECT_FALSE(window.ShowErrorLine(40));
    EXPECT_EQ(window.ErrorLine(), 2);
    // Going to a line does not mark it; loading a text forgets the mark, clearing the pane its
    // lines.
    EXPECT_TRUE(window.GoToLine(0));
    EXPECT_EQ(window.ErrorLine(), -1);
    window.ShowErrorLine(1);
    window.RefreshDisplay(Bytes("END\n"), "game.twp");
    EXPECT_EQ(window.ErrorLine(), -1);
    window.ClearMessages();
    EXPECT_EQ(window.ErrorCount(), 0);
    EXPECT_FALSE(window.GoToNextError());
}

// The colouring's classes come from the tokenizer's cut and keyword tables.
TEST(SourceEditor, ColouringFollowsTheTokenizer) {
    auto classes = [](std::string_view line) {
        std::vector<std::pair<std::string, WordClass>> out;
        for (const ColouredToken& t : ColourLine(line)) {
            out.emplace_back(std::string(line.substr(static_cast<size_t>(t.start),
                                                     static_cast<size_t>(t.length))),
                             t.cls);
        }
        return out;
    };
    using W = WordClass;
    EXPECT_EQ(classes("  LET X = LEN(\"A B\") + 1.5"),
              (std::vector<std::pair<std::string, W>>{{"LET", W::Command},
                                                      {"X", W::Plain},
                                                      {"=", W::Plain},
                                                      {"LEN", W::Function},
                                                      {"(", W::Plain},
                                                      {"\"A B\"", W::Text},
                                                      {")", W::Plain},
                                                      {"+", W::Plain},
                                                      {"1.5", W::Number}}));
    EXPECT_EQ(classes("\tcall Move(1)")[1], std::make_pair(std::string("Move"), W::Procedure));
    EXPECT_EQ(classes("PROCEDURE Move(D)")[1], std::make_pair(std::string("Move"), W::Procedure));
    EXPECT_EQ(classes("TOP:"), (std::vector<std::pair<std::string, W>>{{"TOP", W::Label},
                                                                       {":", W::Label}}));
    // A REM line is skipped by the tokenizer: all of it is a comment. REM elsewhere is the
    // command table's word, as anywhere else.
    for (const ColouredToken& t : ColourLine("rem LET X = 1")) EXPECT_EQ(t.cls, W::Comment);
    EXPECT_EQ(classes("LET REM = 1")[1].second, W::Command);
    // An unterminated text is dropped by the tokenizer, and so gets no colour.
    EXPECT_EQ(classes("PRINT \"open").size(), 1u);
    // Every word of the tables, in any case, is coloured as the tables class it.
    for (std::string_view name : kCommandNames) {
        if (name.empty() || name == "REM") continue;
        const auto got = ColourLine(std::string(name) + " 1");
        ASSERT_FALSE(got.empty()) << name;
        // (A name that is a number or a punctuation mark is none of the tokenizer's words.)
        if (got[0].length == static_cast<int>(name.size()) && got[0].cls != W::Number) {
            EXPECT_EQ(got[0].cls, W::Command) << name;
        }
    }
    for (std::string_view name : kFunctionNames) {
        if (name.empty() || FindCommand(name) >= 0) continue;
        std::string lower(name);
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const auto got = ColourLine("LET A = " + lower + "(1)");
        ASSERT_GE(got.size(), 4u) << name;
        if (got[3].length == static_cast<int>(name.size())) {
            EXPECT_EQ(got[3].cls, W::Function) << name;
        }
    }
}

TEST(SourceEditor, TheGutterAndTheColouringSwitch) {
    SourceEditorWindow window;
    std::string text;
    for (int i = 0; i < 1200; ++i) text += "LET A = 1\n";
    window.RefreshDisplay(Bytes("LET A = 1\n"), "game.twp");
    CodeEditor& code = *window.Code();
    const int narrow = code.GutterWidth();
    EXPECT_GT(narrow, 0);
    window.RefreshDisplay(Bytes(text), "game.twp");
    EXPECT_GT(code.GutterWidth(), narrow);  // four digits
    // Colouring on: the command word has a format; off: none, on again: back.
    auto formats = [&] {
        return code.document()->firstBlock().layout()->formats().size();
    };
    EXPECT_TRUE(code.Colouring());
    EXPECT_GT(formats(), 0);
    QSignalSpy switched(&window, &SourceEditorWindow::colouringChanged);
    window.EditorMenu()->popup(QPoint(0, 0));  // the menu shows the state when it opens
    QAction* colouring = nullptr;
    for (QAction* a : window.EditorMenu()->actions()) {
        if (a->text() == "Syntax &Colouring") colouring = a;
    }
    ASSERT_NE(colouring, nullptr);
    EXPECT_TRUE(colouring->isChecked());
    colouring->trigger();
    window.EditorMenu()->hide();
    EXPECT_FALSE(code.Colouring());
    EXPECT_EQ(formats(), 0);
    ASSERT_EQ(switched.count(), 1);
    EXPECT_FALSE(switched[0][0].toBool());
    code.SetColouring(true);
    EXPECT_GT(formats(), 0);
}

TEST(SourceEditor, TheToolPanelHasEveryButton) {
    SourceEditorWindow window;
    QSignalSpy runs(&window, &SourceEditorWindow::runRequested);
    QSignalSpy tests(&window, &SourceEditorWindow::testRequested);
    for (const char* hint : {"Check and run the project", "Checks the project for errors.",
                             "&Auto indent selected source code lines", "Removes all identing",
                             "Save Project", "Open Project", "Add breakpoint @ current line"}) {
        ASSERT_NE(window.Button(hint), nullptr) << hint;
        EXPECT_TRUE(window.Button(hint)->isEnabled()) << hint;
        EXPECT_FALSE(window.Button(hint)->icon().isNull()) << hint;
    }
    for (const char* hint : {"(Goto start of next function or procedure",
                             "(Goto start of last function or procedure"}) {
        ASSERT_NE(window.Button(hint), nullptr) << hint;
        EXPECT_FALSE(window.Button(hint)->isEnabled()) << hint;
    }
    window.Button("Check and run the project")->click();
    window.Button("Checks the project for errors.")->click();
    EXPECT_EQ(runs.count(), 1);
    EXPECT_EQ(tests.count(), 1);
    window.SetTestAndRunEnabled(false);
    EXPECT_FALSE(window.Button("Check and run the project")->isEnabled());
    EXPECT_FALSE(window.Button("Checks the project for errors.")->isEnabled());
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform says this of every window with a fixed size.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains("does not support propagateSizeHints")) return;
        previous(type, context, text);
    });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
