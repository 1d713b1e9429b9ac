#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

// The main window's status bar: position, selection, line format, encoding, read-only.
class StatusBarTest : public QObject {
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

private slots:
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

QTEST_MAIN(StatusBarTest)
#include "tst_statusbar.moc"
