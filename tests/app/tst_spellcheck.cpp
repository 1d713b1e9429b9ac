#include "app/SpellingPanel.h"
#include "app/frmSettings.h"
#include "editor/DocumentSpelling.h"
#include "editor/Spelling.h"
#include "editor/mdlFile.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Dictionaries.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>

namespace {

frmNotepad* startWith(AppFixture& app, const QByteArray& page, const QString& name = "page.htm") {
    app.start({app.env.writeFile(name, page)});
    frmNotepad* document = app.main->documents().current();
    QApplication::processEvents();
    return document;
}

// The viewport's pixels in the underline colour below the characters [start, start + length).
int underlinePixels(RichTextControl& text, int start, int length) {
    text.viewport()->repaint();
    const QImage shot = text.viewport()->grab().toImage();
    QTextCursor from(text.document()), to(text.document());
    from.setPosition(text.toDocumentPosition(start));
    to.setPosition(text.toDocumentPosition(start + length));
    const QRect left = text.cursorRect(from), right = text.cursorRect(to);
    const qreal scale = shot.devicePixelRatio();
    const int baseline = left.top() + QFontMetrics(text.font()).ascent();
    int red = 0;
    for (int y = baseline; y <= left.bottom() + 2; ++y)
        for (int x = left.left(); x < right.left(); ++x) {
            const QColor pixel = shot.pixelColor(QPoint(int(x * scale), int(y * scale)));
            red += pixel.red() > 120 && pixel.green() < 90 && pixel.blue() < 90;
        }
    return red;
}

// The context menu opened by a right click on the character at `offset`: its items' names, and the
// one named `choose` chosen (none when empty).
QStringList rightClick(AppFixture& app, RichTextControl& text, int offset, const QString& choose = {}) {
    QTextCursor cursor(text.document());
    cursor.setPosition(text.toDocumentPosition(offset));
    const QPoint point = text.cursorRect(cursor).center() + QPoint(2, 0);
    QStringList names;
    QMenu* menu = app.main->popupMenu();
    QTimer::singleShot(0, menu, [&] {
        for (QAction* item : menu->actions())
            names << item->objectName() +
                         (item->objectName().startsWith("mnuSuggestion") ? "=" + item->text() : "");
        if (QAction* chosen = menu->findChild<QAction*>(choose); chosen && !choose.isEmpty())
            chosen->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, text.viewport()->mapToGlobal(point));
    QApplication::sendEvent(text.viewport(), &event);
    return names;
}

} // namespace

// The spelling check in the program's windows: underlines, the context menu, the list, the
// settings, the command and its key.
class SpellCheckTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetDictionaryFolders({}); }

    // Underlining misspelt words and taking the underlines away leave the text, its colours, the
    // unsaved-changes mark and the undo history as they were.
    void underlinesLeaveTheDocumentAlone() {
        REQUIRE_ENGLISH();
        AppFixture app;
        const QByteArray page = "<html>\r\n<body>\r\n<p class=\"x\">Thiss is a tst of the underline.</p>\r\n"
                                "</body>\r\n</html>\r\n";
        frmNotepad* document = startWith(app, page);
        RichTextControl& text = *document->txtRich;
        const QList<ColorValue> colours = colors(text);
        QVERIFY(document->spelling()->underlined() && document->action(CommandId::Spelling)->isChecked());
        const int misspelt = int(text.text().indexOf("Thiss")),
                  correct = int(text.text().indexOf("underline"));
        QVERIFY(underlinePixels(text, misspelt, 5) > 3);
        QCOMPARE(underlinePixels(text, correct, 9), 0);
        const auto unchanged = [&] {
            return text.text().toUtf8() == page && colors(text) == colours &&
                   !app.record(document->slot()).Modified && !document->mnuUndo->isEnabled() &&
                   !document->windowTitle().endsWith('*');
        };
        QVERIFY(unchanged());

        document->action(CommandId::Spelling)->trigger(); // off, in every window
        QVERIFY(!app.main->settings().SpellCheck && !document->action(CommandId::Spelling)->isChecked());
        QCOMPARE(underlinePixels(text, misspelt, 5), 0);
        QCOMPARE(SettingsStore::read("Settings", "SpellCheck"), "0");
        QVERIFY(unchanged());
        // Typing a misspelt word with the check on: underlined as soon as it is shown.
        document->action(CommandId::Spelling)->trigger();
        text.setFocus();
        text.setSelStart(int(text.text().indexOf("</p>")));
        typeText(&text, " wrods");
        QVERIFY(underlinePixels(text, int(text.text().indexOf("wrods")), 5) > 3);
    }

    // A right click on a misspelt word offers the dictionary's suggestions first, then Add to
    // Dictionary and Ignore All; a suggestion chosen replaces the word as one undo step.
    void contextMenu() {
        REQUIRE_ENGLISH();
        AppFixture app;
        frmNotepad* document = startWith(app, "<p>Thsi is wrng.</p>");
        RichTextControl& text = *document->txtRich;
        QStringList names = rightClick(app, text, 13, "mnuSuggestion1");
        const int suggestions = int(names.indexOf("mnuAddWord"));
        QVERIFY2(suggestions >= 1 && suggestions <= 8 &&
                     names.mid(0, suggestions).join(' ').contains("=wrong"),
                 qPrintable(names.join(' ')));
        QCOMPARE(names.mid(suggestions, 4),
                 (QStringList{"mnuAddWord", "mnuIgnoreAll", "mnuSepSpelling", "mnuCut"}));
        const QString first = names.first().section('=', 1);
        QCOMPARE(text.text(), "<p>Thsi is " + first + ".</p>");
        document->action(CommandId::Undo)->trigger();
        QCOMPARE(text.text(), "<p>Thsi is wrng.</p>");

        // Add to Dictionary: words.txt, and the word correct from now on.
        rightClick(app, text, 4, "mnuAddWord");
        QCOMPARE(TestEnvironment::readFile(app.env.programFolder() + "/words.txt"), "Thsi\r\n");
        QVERIFY(!document->spelling()->misspellingAt(4));
        QCOMPARE(rightClick(app, text, 4).value(0), "mnuCut");
        // Ignore All: in every document, until the program ends.
        frmNotepad* other = OpenDocument(*app.main, app.env.writeFile("other.htm", "wrng again"));
        QVERIFY(other->spelling()->misspellingAt(1));
        rightClick(app, text, 13, "mnuIgnoreAll");
        QVERIFY(!other->spelling()->misspellingAt(1) && !document->spelling()->misspellingAt(13));
        QVERIFY(!QFile::exists(app.env.programFolder() + "/words.txt") ||
                !TestEnvironment::readFile(app.env.programFolder() + "/words.txt").contains("wrng"));
    }

    // Spelling List: each misspelt word with its count and places; Enter goes from place to place;
    // Replace changes them all as one undo step.
    void spellingList() {
        REQUIRE_ENGLISH();
        AppFixture app;
        const QString page = "teh cat, teh dog\r\n<p title=\"teh\">teh end</p> mispelt";
        frmNotepad* document = startWith(app, page.toUtf8());
        RichTextControl& text = *document->txtRich;
        document->action(CommandId::SpellingList)->trigger();
        SpellingPanel* panel = app.main->spellingPanel();
        QVERIFY(panel && panel->objectName() == "dockSpelling" && panel->isVisible());
        panel->listAll();
        QStringList rows;
        for (int i = 0; i < panel->lstSpelling->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = panel->lstSpelling->topLevelItem(i);
            rows << row->text(0) + " " + row->text(1) + " " + row->text(2);
        }
        QCOMPARE(rows.join('|'), "teh 4 1:1, 1:10, 2:11, 2:16|mispelt 1 2:28");
        panel->lstSpelling->setCurrentItem(panel->lstSpelling->topLevelItem(0));
        panel->lstSpelling->setFocus();
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            sendKey(panel->lstSpelling, Qt::Key_Return);
            visited << QString::number(text.selStart()) + "+" + QString::number(text.selLength());
        }
        QCOMPARE(visited.join(' '), "0+3 9+3 28+3 33+3 0+3");
        QVERIFY(panel->cmbSuggestions->findText("the") >= 0);
        panel->cmbSuggestions->setCurrentText("the");
        panel->cmdReplace->click();
        QCOMPARE(text.text(), QString(page).replace("teh", "the"));
        document->action(CommandId::Undo)->trigger();
        QCOMPARE(text.text(), page);
        panel->listAll();
        QCOMPARE(panel->lstSpelling->topLevelItem(0)->text(1), "4");
        app.dialogs.answers << Dialogs::Answer::No; // not saved
        document->close();
        AppFixture::flush();
        QCOMPARE(panel->lstSpelling->topLevelItemCount(), 0);
    }

    // The settings: the check on or off, a dictionary for pages that name no language, comments.
    void settings() {
        REQUIRE_ENGLISH();
        AppFixture app;
        frmNotepad* document = startWith(app, "<p>Fine text</p><!-- a commnt -->");
        app.main->showSettings(false);
        frmSettings* dialog = app.main->findChild<frmSettings*>();
        QCOMPARE(dialog->cmbSpellLanguage->itemText(0), "System language");
        QVERIFY(dialog->cmbSpellLanguage->findData("en_US") > 0);
        QVERIFY(dialog->chkSpellCheck->isChecked() && !dialog->chkSpellComments->isChecked());
        dialog->cmbSpellLanguage->setCurrentIndex(dialog->cmbSpellLanguage->findData("en_US"));
        dialog->chkSpellComments->setChecked(true);
        dialog->cmdOK->click();
        QCOMPARE(SettingsStore::read("Settings", "SpellLanguage") +
                     SettingsStore::read("Settings", "SpellComments"),
                 "en_US1");
        document->spelling()->checkAll();
        QCOMPARE(document->spelling()->misspellings().size(), size_t(1)); // the comment's word
        app.main->showSettings(false);
        dialog = app.main->findChild<frmSettings*>();
        QCOMPARE(dialog->cmbSpellLanguage->currentData().toString(), "en_US");
        dialog->chkSpellCheck->setChecked(false);
        dialog->cmdOK->click();
        QVERIFY(!document->spelling()->underlined() && !document->action(CommandId::Spelling)->isChecked());
        // Shift+F7 turns it on again.
        QVERIFY(shownActive(app.main.get()));
        sendKey(document->txtRich, Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(app.main->settings().SpellCheck && document->spelling()->underlined());
    }

    // Without any dictionary the command says which packages bring them, and nothing is checked.
    void withoutDictionaries() {
        AppFixture app;
        SetDictionaryFolders({app.env.root() + "/none"});
        frmNotepad* document = startWith(app, "<p>Thiss is wrng</p>");
        QVERIFY(!document->spelling()->checking());
        document->action(CommandId::Spelling)->trigger(); // off: nothing to say
        QVERIFY(app.dialogs.messages.isEmpty());
        document->action(CommandId::Spelling)->trigger();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QVERIFY(app.dialogs.messages[0].text.contains("hunspell-en-us"));
        QVERIFY(!document->spelling()->checking() &&
                rightClick(app, *document->txtRich, 5).value(0) == "mnuCut");
        document->action(CommandId::SpellingList)->trigger();
        QVERIFY(app.main->spellingPanel()->lblSpelling->text().contains("hunspell-"));
    }
};

QTEST_MAIN(SpellCheckTest)
#include "tst_spellcheck.moc"
