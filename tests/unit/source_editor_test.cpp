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

TEST(SourceEditor, TheToolPanelHasEveryButton) {
    SourceEditorWindow window;
    QSignalSpy runs(&window, &SourceEditorWindow::runRequested);
    QSignalSpy tests(&window, &SourceEditorWindow::testRequested);
    for (const char* hint : {"Check and run the project", "Checks the project for errors.",
                             "&Auto indent selected source code lines", "Removes all identing",
                             "Save Project", "Open Project"}) {
        ASSERT_NE(window.Button(hint), nullptr) << hint;
        EXPECT_TRUE(window.Button(hint)->isEnabled()) << hint;
        EXPECT_FALSE(window.Button(hint)->icon().isNull()) << hint;
    }
    for (const char* hint : {"Add breakpoint @ current line",
                             "(Goto start of next function or procedure",
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
