// The environment's small windows on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "ide/auxiliary_windows.h"

namespace tw {
namespace {

TEST(FindText, CaseWholeWordsAndRange) {
    const QString text = "LET Score = score + 1\nPRINT SCORES";
    EXPECT_EQ(FindText(text, "score", 0, 0, false, false), 4);
    EXPECT_EQ(FindText(text, "score", 0, 0, true, false), 12);
    EXPECT_EQ(FindText(text, "SCORE", 0, 0, true, false), 28);
    EXPECT_EQ(FindText(text, "SCORE", 0, 0, true, true), -1);  // SCORES is another word
    EXPECT_EQ(FindText(text, "score", 5, 0, false, true), 12);
    EXPECT_EQ(FindText(text, "score", 0, 8, false, false), -1);  // runs past the range
    EXPECT_EQ(FindText(text, "", 0, 0, false, false), -1);
    EXPECT_EQ(FindText(text, "x", 500, 0, false, false), -1);
}

TEST(FindWindow, SearchesSelectsAndKeepsAHistoryWithoutRepeats) {
    QPlainTextEdit editor;
    editor.setPlainText("FOR I = 1 TO 3\nPRINT I\nNEXT I");
    FindWindow find(editor);
    QStringList told;
    find.tell = [&told](const QString& text) { told.push_back(text); };
    find.Prepare();
    EXPECT_FALSE(find.SelectedText()->isEnabled());  // no selection
    find.History()->setCurrentText("print");
    ASSERT_TRUE(find.Search());
    EXPECT_EQ(editor.textCursor().selectedText(), "PRINT");
    // With a selection the selected-text choice is offered, unticked.
    find.Prepare();
    EXPECT_TRUE(find.SelectedText()->isEnabled());
    EXPECT_FALSE(find.SelectedText()->isChecked());
    // From the cursor the next match is found; a text that is absent says so.
    find.History()->setCurrentText("I");
    find.WholeWords()->setChecked(true);
    find.FromCursor()->setChecked(true);
    ASSERT_TRUE(find.Search());
    EXPECT_EQ(editor.textCursor().selectionStart(), 21);
    find.History()->setCurrentText("WEND");
    EXPECT_FALSE(find.Search());
    EXPECT_EQ(told, QStringList{"Search string WEND was not found."});
    find.History()->setCurrentText("Print");
    find.Search();
    EXPECT_EQ(find.History()->count(), 3);  // print, I, WEND: Print is print
    // Searching the selected text only disables the starting point.
    find.SelectedText()->click();
    EXPECT_FALSE(find.FromTop()->isEnabled());
    find.EntireUnit()->click();
    EXPECT_TRUE(find.FromTop()->isEnabled());
}

TEST(FindWindow, SearchAgainFindsTheNextOccurrence) {
    QPlainTextEdit editor;
    editor.setPlainText("A = 1\nB = A\nC = A");
    FindWindow find(editor);
    QStringList told;
    find.tell = [&told](const QString& text) { told.push_back(text); };
    EXPECT_FALSE(find.SearchAgain());  // nothing searched yet
    EXPECT_TRUE(told.isEmpty());
    find.History()->setCurrentText("A");
    ASSERT_TRUE(find.Search());
    EXPECT_EQ(editor.textCursor().selectionStart(), 0);
    ASSERT_TRUE(find.SearchAgain());
    EXPECT_EQ(editor.textCursor().selectionStart(), 10);
    ASSERT_TRUE(find.SearchAgain());
    EXPECT_EQ(editor.textCursor().selectionStart(), 16);
    EXPECT_FALSE(find.SearchAgain());
    EXPECT_EQ(told, QStringList{"Search string A was not found."});
}

TEST(ReplaceWindow, ReplacesOneAtATimeOrAllInOneStepToUndo) {
    QPlainTextEdit editor;
    editor.setPlainText("LET SCORE = 0\nLET SCORE = SCORE + 1\nLET HISCORE = SCORE");
    ReplaceWindow replace(editor);
    QStringList told;
    replace.tell = [&told](const QString& text) { told.push_back(text); };
    replace.What()->setText("score");
    replace.With()->setText("POINTS");
    replace.WholeWords()->setChecked(true);
    // The first Replace only finds; the next replaces what it found and finds the next one.
    EXPECT_FALSE(replace.ReplaceOne());
    EXPECT_EQ(editor.textCursor().selectedText(), "SCORE");
    EXPECT_TRUE(replace.ReplaceOne());
    EXPECT_TRUE(editor.toPlainText().startsWith("LET POINTS = 0\nLET SCORE"));
    EXPECT_EQ(editor.textCursor().selectionStart(), 19);
    // All the rest at once (HISCORE is no whole word SCORE), undone in one step.
    EXPECT_EQ(replace.ReplaceAll(), 3);
    EXPECT_EQ(editor.toPlainText(),
              "LET POINTS = 0\nLET POINTS = POINTS + 1\nLET HISCORE = POINTS");
    EXPECT_EQ(told.back(), "3 occurrences replaced.");
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), "LET POINTS = 0\nLET SCORE = SCORE + 1\nLET HISCORE = SCORE");
    // Matching case, nothing matches; a read-only editor is left alone.
    replace.MatchCase()->setChecked(true);
    EXPECT_EQ(replace.ReplaceAll(), 0);
    replace.MatchCase()->setChecked(false);
    editor.setReadOnly(true);
    EXPECT_EQ(replace.ReplaceAll(), 0);
    EXPECT_FALSE(editor.toPlainText().contains("POINTS + 1"));
}

TEST(InformationWindow, CountsTheProjectsUnitsAndFiles) {
    InformationWindow window;
    ProjectState project;
    NewProject(project);
    project.projectOpen = true;
    window.Fill(&project);
    EXPECT_EQ(window.Value("Source code units :"), "1 units");
    EXPECT_EQ(window.Value("Number of files :"), "1");
    EXPECT_EQ(window.Value("Source code size : "),
              QString::number(project.items[0].size) + " bytes");
    EXPECT_EQ(window.Value("Compressed :"), "Not supported");
    window.Fill(nullptr);
    EXPECT_EQ(window.Value("Source code units :"), "0 units");
    EXPECT_EQ(window.Value("Size of files :"), "0 bytes");
}

TEST(TipsWindow, TheCheckBoxIsTheStartupFlag) {
    MemoryFlags flags;
    TipsWindow tips(flags);
    EXPECT_TRUE(tips.ShowOnStartup()->isChecked());
    EXPECT_TRUE(tips.Tip().startsWith("Welcome To Tarnwick\n\n>> PLEASE READ THIS <<\n\n"));
    EXPECT_TRUE(tips.Tip().endsWith("Released : August 1999\n"));
    tips.ShowOnStartup()->click();
    EXPECT_FALSE(flags.ReadFlag(kTipsSection, kStartupFlag, true));
    tips.ShowMore();
    EXPECT_TRUE(tips.Tip().startsWith("KNOWN ISSUES / BUGS\n\n* The colour of Images"));
    TipsWindow again(flags);
    EXPECT_FALSE(again.ShowOnStartup()->isChecked());
}

TEST(LogoWindow, ClosingEnablesTheMainWindow) {
    QWidget main;
    main.setEnabled(false);
    LogoWindow logo(&main);
    logo.show();
    EXPECT_TRUE(logo.isVisible());
    QTest::mouseClick(&logo, Qt::LeftButton);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(LogoWindow::kShowMs, 5500);
}

TEST(HelpWindow, TheWordAtTheCaretItsFormAndTheSearch) {
    // The word the caret is in or just after, and the word after it.
    EXPECT_EQ(WordsAt("SCREEN OPEN 1, 800, 32", 2),
              std::make_pair(QString("SCREEN"), QString("OPEN")));
    EXPECT_EQ(WordsAt("SCREEN OPEN 1", 6), std::make_pair(QString("SCREEN"), QString("OPEN")));
    EXPECT_EQ(WordsAt("LET A = LEFT$(B, 2)", 10), std::make_pair(QString("LEFT"), QString()));
    EXPECT_EQ(WordsAt("' a comment", 0), std::make_pair(QString("'"), QString()));
    EXPECT_EQ(WordsAt("LET A = 1", 3), std::make_pair(QString("LET"), QString("A")));
    EXPECT_EQ(WordsAt("   ", 1), std::make_pair(QString(), QString()));
    EXPECT_EQ(WordsAt("FOR", 9), std::make_pair(QString(), QString()));

    HelpWindow help;
    // The first page: the traps, then every word by family.
    EXPECT_TRUE(help.Page()->toPlainText().contains("IF (X > 780) OR (X < 20) THEN"));
    EXPECT_TRUE(help.Page()->toPlainText().contains("Loops:"));
    ASSERT_TRUE(help.ShowWord("for", "I"));
    EXPECT_TRUE(help.Page()->toPlainText().startsWith("FOR  (command, Loops)"));
    EXPECT_EQ(help.Words()->currentItem()->text(), "FOR");
    // The form the next word names.
    ASSERT_TRUE(help.ShowWord("screen", "open"));
    EXPECT_EQ(help.Words()->currentItem()->text(), "SCREEN OPEN");
    ASSERT_TRUE(help.ShowWord("SIN"));
    EXPECT_TRUE(help.Page()->toPlainText().contains("(function, Maths)"));
    // A word with no entry goes into the search field.
    EXPECT_FALSE(help.ShowWord("ZORK"));
    EXPECT_EQ(help.Search()->text(), "ZORK");
    // The search narrows the list to the words whose name or text holds it.
    help.Search()->setText("sine");
    int shown = 0;
    for (int i = 0; i < help.Words()->count(); ++i) shown += !help.Words()->item(i)->isHidden();
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, help.Words()->count());
    EXPECT_FALSE(help.Words()->findItems("SIN", Qt::MatchExactly)[0]->isHidden());
    EXPECT_TRUE(help.Words()->findItems("FOR", Qt::MatchExactly)[0]->isHidden());
    help.Search()->clear();
    EXPECT_FALSE(help.Words()->findItems("FOR", Qt::MatchExactly)[0]->isHidden());
}

TEST(DebugWindow, ShowsOutputDebugLinesAndItsTwoTexts) {
    DebugWindow window;
    EXPECT_TRUE(window.Text().startsWith("\n** DEBUG WINDOW **\n\nThe debug window shows"));
    EXPECT_TRUE(window.Text().endsWith("Stay Tuned."));
    window.Clear();
    window.AppendLine("42");
    EXPECT_EQ(window.Text(), "42");
    window.ShowInformation();
    EXPECT_TRUE(window.Text().startsWith("****** DEBUG WINDOW ******\n\nThis window provides"));
}

}  // namespace
}  // namespace tw
