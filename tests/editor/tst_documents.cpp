#include "editor/CommandTable.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <cerrno>
#include <tuple>

using OpenSave = std::tuple<QByteArray, int, QString, QString, QByteArray>;

// Document windows: captions and marks, closing, files, dialogs, the commands and menus built from
// the command table, and the status bar's fields for the document in front.
class DocumentsTest : public QObject {
    Q_OBJECT

    // The fields shown, in order, once the pending updates are done.
    static QString fields(const AppFixture& app) {
        QCoreApplication::sendPostedEvents();
        QStringList shown;
        for (const char* name :
             {"lblPosition", "lblSelection", "cmdLineFormat", "cmdEncoding", "lblReadOnly"})
            if (const auto* field = app.main->findChild<QStatusBar*>("staMain")->findChild<QWidget*>(name);
                !field->isHidden())
                shown << field->property("text").toString();
        return shown.join('|');
    }
    // Opens the field's menu by `open` (a click or keys), takes `choose` there (an item to click or
    // keys); returns the items offered.
    static QStringList pick(const AppFixture& app, const char* field, const QString& open,
                            const QString& choose) {
        auto* button = app.main->statusBar()->findChild<QToolButton*>(field);
        QStringList offered;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                menu && offered.isEmpty()) {
                for (QAction* item : menu->actions())
                    offered << item->text();
                if (QAction* item = menu->actions().value(offered.indexOf(choose)))
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                else
                    typeKeys(menu, choose);
            }
        });
        driver.start(10);
        button->setFocus(Qt::TabFocusReason); // reachable by keys
        open == "click" ? QTest::mouseClick(button, Qt::LeftButton)
                        : typeKeys(QApplication::focusWidget(), open);
        return offered;
    }

    static QList<QAction*> itemsOf(const QList<QMenu*>& menus) {
        QList<QAction*> items;
        for (QMenu* menu : menus)
            for (QAction* item : menu->actions())
                items << item << (item->menu() ? itemsOf({item->menu()}) : QList<QAction*>());
        return items;
    }

    static QString mark(const AppFixture& app, int slot) { // caption|path recorded|marked modified
        return app.document(slot)->windowTitle() + "|" + app.record(slot).PathCaption + "|" +
               QString::number(app.record(slot).Modified);
    }

private slots:
    // Each window marks its own slot, reused from the lowest; new documents from the template; tiling.
    void windows() {
        AppFixture app;
        const QString path = app.env.writeFile("dir/page.htm", "x");
        app.start({path, path});
        app.main->mutableSettings().DefaultNewLN = "\n";
        QCOMPARE(NewDocument(*app.main)->saveFormat(), SaveFormat::Unix);
        app.document(1)->txtRich->setSelStart(0);
        typeKeys(app.document(1)->txtRich, "ab{Backspace}");
        QCOMPARE(mark(app, 1) + " " + mark(app, 0), path + "*|" + path + "|1 " + path + "|" + path + "|0");
        const DocumentTable& table = app.main->documents();
        QVERIFY(table.FindDocumentByCaption(path) == 0 && table.FindDocumentByCaption("nothing") == -1);
        app.document(0)->showMinimized(); // shows the file name
        const QString minimized = app.document(0)->windowTitle();
        app.document(0)->showNormal();
        QCOMPARE(minimized + " " + app.document(0)->windowTitle(), "page.htm " + path);
        app.document(0)->close();
        app.flush();
        app.main->mutableSettings().DefaultNewLN = "\r";
        frmNotepad* reused = NewDocument(*app.main);
        QCOMPARE(mark(app, 0) + " " + reused->txtRich->tag(), "Untitled [0]||0 0");
        QVERIFY(reused->saveFormat() == SaveFormat::Mac && table.slotCount() == 3);
        const QString shipped = TestEnvironment::readFile(app.env.programFolder() + "/default.htm");
        QCOMPARE(render(*reused->txtRich), QString(shipped).replace("@@", "|"));
        app.document(0)->action(CommandId::TileVertical)->trigger(); // windows 1 and 2 come first
        QVERIFY(app.document(1)->geometry().right() < app.document(2)->geometry().left());
        app.document(0)->action(CommandId::TileHorizontal)->trigger();
        QVERIFY(app.document(1)->geometry().bottom() < app.document(2)->geometry().top());
        QCOMPARE(app.document(1)->width(), app.main->mdiArea()->viewport()->width());
    }

    // "Yes" followed by a cancelled save dialog keeps the window, so the text is not lost.
    void closingRules_data() {
        table({"answer", "saveAs", "staysOpen"},
              {"cancel keeps; Cancel; ; 1", "no closes unsaved; No; ; 0", "yes saves and closes; Yes; ; 0",
               "yes on untitled, dialog cancelled; Yes; -; 1", "yes on untitled, saved as; Yes; new.htm; 0"});
    }
    void closingRules() {
        QFETCH(QString, answer);
        QFETCH(QString, saveAs); // "" for a file of its own, "-" for untitled with the dialog cancelled
        QFETCH(QString, staysOpen);
        AppFixture app;
        const QString path = saveAs.isEmpty() ? app.env.writeFile("doc.htm", "old") : QString();
        app.start(saveAs.isEmpty() ? QStringList{path} : QStringList{});
        frmNotepad* window = app.document(0);
        window->action(CommandId::SelectAll)->trigger();
        window->txtRich->setSelText("new text");
        const QString caption = window->windowTitle(),
                      target = saveAs.size() > 1 ? app.env.root() + "/" + saveAs : path;
        app.dialogs.savePaths.enqueue(target); // "" cancels the dialog
        app.dialogs.answers.enqueue(answer == "Yes"  ? Dialogs::Answer::Yes
                                    : answer == "No" ? Dialogs::Answer::No
                                                     : Dialogs::Answer::Cancel);
        window->close();
        app.flush();
        QVERIFY(app.dialogs.messages.size() == 1 &&
                app.dialogs.messages[0].buttons == Dialogs::Buttons::YesNoCancel);
        QCOMPARE(app.dialogs.messages[0].text, "Save changes to [" + caption + "] ?");
        QCOMPARE(QString::number(app.main->documents().DocumentCount), staysOpen);
        if (staysOpen == "1")
            QVERIFY(app.document(0)->txtRich->text() == "new text" && app.record(0).Modified);
        if (!target.isEmpty())
            QCOMPARE(TestEnvironment::readFile(target) == "new text", answer == "Yes");
    }

    // Bytes, DoOnOpen, DOS UNIX MAC items ("x" checked and disabled), the text shown and the bytes saved.
    void openAndSave_data() {
        QTest::addColumn<OpenSave>("row");
        const auto row = [](const char* name, const OpenSave& data) { QTest::newRow(name) << data; };
        row("mixed becomes DOS", {"a\r\nb\nc", 0, "x--", "a\r\nb\r\nc", "a\r\nb\r\nc"});
        row("CR only", {"a\rb", 0, "--x", "a\r\nb", "a\rb"});
        row("no break stays DOS", {"ab", 0, "x--", "ab", "ab"});
        row("DoOnOpen DOS", {"a\nb", 4, "x--", "a\r\nb", "a\r\nb"});
        row("DoOnOpen UNIX", {"a\r\nb", 5, "-x-", "a\r\nb", "a\nb"});
        row("DoOnOpen MAC", {"a\nb", 6, "--x", "a\r\nb", "a\rb"});
        row("Latin-1, LF only", {"\xe9\n\x80", 0, "-x-", "\u00E9\r\n\u0080", "\xe9\n\x80"});
        row("UTF-8, BOM", {"\xEF\xBB\xBF\xC3\xA9\r\n", 0, "x--", "\u00E9\r\n", "\xEF\xBB\xBF\xC3\xA9\r\n"});
        row("declared windows-1252",
            {"<meta charset=cp1252>\x93\x80\n", 0, "-x-", "<meta charset=cp1252>\u201C\u20AC\r\n",
             "<meta charset=cp1252>\x93\x80\n"});
        const QByteArray utf16("\xFF\xFEx\0\n\0\xAC\x20", 8);
        row("UTF-16 LE", {utf16, 0, "-x-", "x\r\n\u20AC", utf16});
        QByteArray line; // shown in pieces, whose breaks never reach the file
        for (int i = 0; line.size() < 30000; ++i)
            line += "<td class=\"c" + QByteArray::number(i) + "\">" + QByteArray::number(i) + "</td>";
        row("30,000-character line",
            {"<p>\n" + line, 0, "-x-", QString::fromLatin1("<p>\r\n" + line), "<p>\n" + line});
    }
    void openAndSave() {
        QFETCH(OpenSave, row);
        const auto& [bytes, doOnOpen, items, shown, saved] = row;
        AppFixture app;
        const QString path = app.env.writeFile("file.htm", bytes);
        app.start();
        app.main->mutableSettings().DoOnOpen = doOnOpen;
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(window->txtRich->text(), shown);
        QCOMPARE(mark(app, 1), path + "|" + path + "|0");
        QString shownItems;
        for (const QAction* item : {window->mnuTDOSformat, window->mnuTUNIXformat, window->mnuTMACformat})
            shownItems += item->isChecked() == item->isEnabled() ? '?' : item->isChecked() ? 'x' : '-';
        QCOMPARE(shownItems, items);
        window->action(CommandId::Save)->trigger();
        QCOMPARE(TestEnvironment::readFile(path), saved);
    }

    // A failed save keeps file, mark and caption; a chosen format marks the document; saving converts.
    void save() {
        AppFixture app;
        const QString path = app.env.writeFile("keep.htm", "a\r\nb");
        app.start({path});
        frmNotepad* window = app.document(0);
        window->txtRich->setSelStart(0);
        window->txtRich->setSelText("edited ");
        const QString impossible = path + "/below.htm"; // below a regular file, whoever runs the test
        app.dialogs.savePaths.enqueue(impossible);
        QVERIFY(!SaveAsCommand(*app.main, 0));
        QVERIFY(app.dialogs.messages.size() == 1 && app.dialogs.messages[0].icon == Dialogs::Icon::Critical);
        QCOMPARE(app.dialogs.messages[0].text,
                 "The file could not be saved: " + impossible + "\r\n\r\n" + qt_error_string(ENOTDIR));
        QCOMPARE(mark(app, 0) + " " + TestEnvironment::readFile(path), path + "*|" + path + "|1 a\r\nb");
        window->mnuTMACformat->trigger();
        QVERIFY(SaveDocument(*app.main, 0, app.record(0).PathCaption));
        QCOMPARE(TestEnvironment::readFile(path) + " " + window->txtRich->text(),
                 "edited a\rb edited a\r\nb");
        QCOMPARE(mark(app, 0), path + "|" + path + "|0");
        window->mnuTUNIXformat->trigger();
        QCOMPARE(mark(app, 0), path + "*|" + path + "|1");
    }

    // A window being destroyed reports a last change of state, which its gone document must not answer.
    void destroyedWindowLeavesTheTable() {
        AppFixture app;
        app.start(); // one new document, the only window
        frmNotepad* document = app.document(0);
        app.main->mdiArea()->setActiveSubWindow(document);
        QCOMPARE(app.main->mdiArea()->activeSubWindow(), document);
        app.main->documents().DocumentActive = false;
        delete document;
        QVERIFY(!app.main->documents().DocumentActive);
    }

    // File dialogs; edit commands and the clipboard; printing; compiling, the path one argument, no shell.
    void commands() {
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = "php";
        const QString chosen = app.env.root() + "/sub/x.htm";
        app.dialogs.savePaths.enqueue(chosen);
        QCOMPARE(ShowFileDialog(*app.main, FileDialogAction::Save, true), chosen);
        QCOMPARE(qtNameFilters(app.dialogs.saveRequests.last().filter).first(), "Default (*.php)");
        app.main->mutableSettings().LastDir = false;
        const QString path = app.env.writeFile("r.htm", "r");
        app.dialogs.openPaths.enqueue(path);
        ShowOpenDialog(*app.main);
        ShowOpenDialog(*app.main); // cancelled: nothing happens
        QVERIFY(app.main->documents().DocumentCount == 2 && app.main->recentMenu().caption(1) == path);
        QCOMPARE(app.dialogs.openRequests.last().folder, app.env.root() + "/sub");
        QCOMPARE(qtNameFilters(app.dialogs.openRequests.first().filter).value(7), "PHP (*.php3 *.phtml)");

        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText("one\r\ntwo");
        text->select(2, 4); // "e", CR LF, "t"
        window->action(CommandId::Cut)->trigger();
        const QString cut = QApplication::clipboard()->text();
        text->setSelStart(0);
        window->action(CommandId::Paste)->trigger();
        window->action(CommandId::SelectAll)->trigger();
        window->action(CommandId::Copy)->trigger();
        QCOMPARE(cut + "|" + text->text() + "|" + QApplication::clipboard()->text(),
                 "e\r\nt|e\r\ntonwo|e\r\ntonwo");
        window->action(CommandId::Delete)->trigger();
        window->action(CommandId::TimeDate)->trigger();
        QVERIFY(text->text().contains(QString::number(QDate::currentDate().year() % 100)));
        const QString pdf = app.env.root() + "/out.pdf";
        app.dialogs.printToPdf = pdf;
        for (bool selection : {false, true}) {
            text->select(0, selection ? 4 : 0);
            window->action(CommandId::Print)->trigger();
            QCOMPARE(app.dialogs.printRequests.last().hasSelection, selection);
            QVERIFY(TestEnvironment::readFile(pdf).startsWith("%PDF"));
            QFile::remove(pdf);
        }
        window->action(CommandId::Compile)->trigger();
        QCOMPARE(app.dialogs.messages.last().text, "The file must be saved before you can compile it!");
        const QString doc = app.env.writeFile("my dir/Main Class.java", "class A {}");
        window = OpenDocument(*app.main, doc);
        window->action(CommandId::Compile)->trigger();
        QCOMPARE(app.dialogs.messages.last().buttons, Dialogs::Buttons::YesNo); // no compiler yet
        const QString args = app.env.root() + "/args.txt";
        const QString compiler = app.env.writeFile(
            "compiler.sh", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" \"$PWD\" > '" + args.toUtf8() + "'\n");
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        app.main->mutableSettings().JavaCompiler = compiler;
        window->txtRich->setSelText("x"); // the caption gets its "*"
        window->showMinimized();          // and shows the bare name
        window->action(CommandId::Compile)->trigger();
        QTRY_VERIFY(QFileInfo(args).size() > 0);
        QCOMPARE(QString::fromUtf8(TestEnvironment::readFile(args)),
                 "1|" + doc + "|" + QFileInfo(doc).absolutePath() + "|");
    }

    // In each window every item has a name, and no two items answer the same shortcut or name.
    void eachWindowsMenusAreUnambiguous() {
        ShellFixture app;
        FakeShell& shell = app.start();
        const auto twice = [](const QStringList& all) {
            QStringList seen, twice;
            for (const QString& one : all)
                (seen.contains(one) ? twice : seen) << one;
            return twice;
        };
        for (const MenuScope scope : {MenuScope::Main, MenuScope::Document, MenuScope::Browser}) {
            QWidget owner;
            const WindowMenus built(shell.commands(), scope, &owner,
                                    [&shell] { return CommandTarget{shell}; });
            QStringList names, shortcuts;
            for (QAction* item : itemsOf(built.menuBar())) {
                names << item->objectName();
                if (!item->shortcut().isEmpty())
                    shortcuts << item->shortcut().toString();
            }
            QVERIFY2(!names.isEmpty() && !names.contains(QString()), qPrintable(names.join(' ')));
            QCOMPARE(twice(names) + twice(shortcuts), QStringList());
        }
    }

    // A window's items act on its document, whichever is current; its caption follows the table's record.
    void itemsActOnTheirOwnWindow() {
        ShellFixture app;
        FakeShell& shell = app.start();
        DocumentTable& table = shell.documents();
        frmNotepad* first = app.document(0);
        frmNotepad* second = NewDocument(shell);
        for (frmNotepad* document : {first, second})
            document->txtRich->setText("text");
        table.setCurrent(second->slot());
        first->action(CommandId::SelectAll)->trigger();
        QCOMPARE(QString("%1 %2").arg(first->txtRich->selLength()).arg(second->txtRich->selLength()), "4 0");
        first->action(CommandId::Delete)->trigger();
        QCOMPARE(first->txtRich->text() + "|" + second->txtRich->text(), "|text");
        QVERIFY(first->mnuUndo->isEnabled() && !second->mnuUndo->isEnabled()); // each its own history
        QVERIFY(!first->action(CommandId::Forward) && !first->action(CommandId::Offline));
        // A document's command with no document to act on does nothing.
        const WindowMenus detached(shell.commands(), MenuScope::Document, &shell,
                                   [&shell] { return CommandTarget{shell}; });
        for (const CommandId id :
             {CommandId::SelectAll, CommandId::Save, CommandId::UnixFormat, CommandId::Picture})
            detached[id]->trigger();
        QVERIFY(second->txtRich->selLength() == 0 && second->saveFormat() == SaveFormat::Dos);
        first->action(CommandId::Update)->trigger();
        QVERIFY(shell.requests.last().startsWith("browser ") && shell.requests.last().contains("#updates"));

        const int slot = first->slot();
        table.setModified(slot, true);
        const QString modified = first->windowTitle(), path = app.env.writeFile("page.htm", "x");
        table.setSaved(slot, path);
        QCOMPARE(modified + " " + first->windowTitle(), QString("Untitled [%1]* ").arg(slot) + path);
        QVERIFY(!first->editable().isModified() && first->editable().savedPath() == path);
    }

    // The main window's status bar: position, selection, line format, encoding, read-only.

    void positionAndSelection_data() {
        table({"text", "keys", "shown"},
              {"a tab is one column; a\tb; {End}; Ln 1, Col 4",
               "CR LF lines; a\r\nbc\r\nd; {Down}{End}; Ln 2, Col 3",
               "last line; a\r\nbc\r\n; {Ctrl+End}; Ln 3, Col 1",
               "a break selected counts one; ab\r\ncd; {Right}{Shift+Down}; Ln 2, Col 2|Sel 3",
               "selected upwards; abc\r\nd; {Ctrl+End}{Shift+Up}; Ln 1, Col 2|Sel 4",
               "all; a\r\n\r\nb; {Ctrl+A}; Ln 3, Col 2|Sel 4",
               "unselected; ab; {Shift+Right}{Left}; Ln 1, Col 1",
               "long line; LONG\r\nz; {Ctrl+End}; Ln 2, Col 2",
               "second piece; LONG\r\nz; {End}{Right}; Ln 1, Col 502",
               "over pieces; LONG\r\nz; {Ctrl+Shift+End}{Shift+Left}{Shift+Left}; Ln 1, Col 5001|Sel 5000"});
    }
    void positionAndSelection() {
        AppFixture app;
        const QString text = cell("text").replace("LONG", QString(5000, 'x'));
        app.start({app.env.writeFile("a.txt", text.toUtf8())});
        frmNotepad* document = app.document(0);
        QVERIFY(!text.contains('x') || document->txtRich->document()->blockCount() > 3); // shown in pieces
        typeKeys(document->txtRich, cell("keys"));
        QCOMPARE(fields(app), cell("shown") + "|DOS|UTF-8");
    }

    // The fields' menus and the Tools menu mark the document changed; saving writes the format
    // and encoding chosen, asking as for typed characters when one does not fit the encoding.
    void chosenAndSaved_data() {
        table({"text", "field", "open", "choose", "answer", "bytes", "shown"},
              {"Tools menu; a\r\nb; ; ; ; ; 610a62; UNIX|UTF-8",
               "format, click; a\r\nb; cmdLineFormat; click; MAC format; ; 610d62; MAC|UTF-8",
               "format, Enter; a\r\nb; cmdLineFormat; {Return}; {Down}{Down}{Return}; ; 610d62; MAC|UTF-8",
               "UTF-16 LE; é€; cmdEncoding; {Return}; UTF-16 LE; ; fffee900ac20; DOS|UTF-16 LE",
               "UTF-16 BE; é; cmdEncoding; click; UTF-16 BE; ; feff00e9; DOS|UTF-16 BE",
               "UTF-8 BOM; é; cmdEncoding; {Space}; {Down}{Down}{Return}; ; efbbbfc3a9; DOS|UTF-8 BOM",
               "Windows-1252; é€; cmdEncoding; click; Windows-1252; ; e980; DOS|Windows-1252",
               "ISO-8859-15; €; cmdEncoding; click; ISO-8859-15; ; a4; DOS|ISO-8859-15",
               "references; €ő; cmdEncoding; click; Windows-1252; Use Character References; 8026233333373b; "
               "DOS|Windows-1252",
               "to UTF-8; €ő; cmdEncoding; click; Windows-1252; Save as UTF-8; e282acc591; DOS|UTF-8",
               "cancelled; €ő; cmdEncoding; click; Windows-1252; Cancel; e282acc591; DOS|Windows-1252"});
    }
    void chosenAndSaved() {
        AppFixture app;
        const QString path = app.env.writeFile("a.htm", cell("text").toUtf8());
        app.start({path});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        const QStringList offered = cell("field").isEmpty()
                                        ? (app.document(0)->mnuTUNIXformat->trigger(), QStringList())
                                        : pick(app, qPrintable(cell("field")), cell("open"), cell("choose"));
        const QMap<QString, QString> menus{{"cmdLineFormat", "DOS format|UNIX format|MAC format"},
                                           {"cmdEncoding", "Save with Encoding|UTF-8|UTF-8 BOM|Windows-1252|"
                                                           "ISO-8859-15|UTF-16 LE|UTF-16 BE"}};
        QCOMPARE(offered.join('|'), menus.value(cell("field")));
        QVERIFY(app.record(0).Modified && TestEnvironment::readFile(path) == cell("text").toUtf8());
        app.dialogs.choices << cell("answer");
        sendKey(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(TestEnvironment::readFile(path).toHex(), cell("bytes").toLatin1());
        QVERIFY(app.dialogs.messages.size() == !cell("answer").isEmpty() &&
                app.record(0).Modified == (cell("answer") == "Cancel"));
        QCOMPARE(fields(app), "Ln 1, Col 1|" + cell("shown"));
    }

    // The fields follow the document in front, its file's mode asked again on activation and after
    // saving, and are gone with the last document.
    void followTheDocumentInFront() {
        AppFixture app;
        const QString a = app.env.writeFile("a.txt", "a\nb"), b = app.env.writeFile("b.txt", "caf\xe9");
        QVERIFY(QFile::setPermissions(b, QFile::ReadOwner));
        app.start({a, b});
        const AsUser user(app.env.root());
        frmNotepad *first = app.document(0), *second = app.document(1);
        QCOMPARE(fields(app), "Ln 1, Col 1|DOS|ISO-8859-1|Read-only");
        app.main->mdiArea()->setActiveSubWindow(first);
        typeKeys(first->txtRich, "{Ctrl+End}");
        QCOMPARE(fields(app), "Ln 2, Col 2|UNIX|UTF-8");
        QVERIFY(QFile::setPermissions(a, QFile::ReadOwner));
        app.main->mdiArea()->setActiveSubWindow(second);
        app.main->mdiArea()->setActiveSubWindow(first);
        QCOMPARE(fields(app), "Ln 2, Col 2|UNIX|UTF-8|Read-only");
        app.dialogs.savePaths << app.env.root() + "/c.txt";
        first->action(CommandId::SaveAs)->trigger();
        QCOMPARE(fields(app), "Ln 2, Col 2|UNIX|UTF-8");
        first->close();
        app.flush();
        QCOMPARE(fields(app), "Ln 1, Col 1|DOS|ISO-8859-1|Read-only");
        second->close();
        QCOMPARE(fields(app), "");
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
