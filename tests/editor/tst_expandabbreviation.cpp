#include "support/AppFixture.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QMenu>
#include <QStatusBar>
#include <QtTest>

// Expand Abbreviation (Ctrl+E) and the edit points (Ctrl+Alt+Right, Ctrl+Alt+Left) by keys in a
// document window of the main window.
class ExpandAbbreviationTest : public QObject {
    Q_OBJECT

    // The main window with the file `name` holding `marked` without its "|", the cursor there.
    static RichTextControl* open(AppFixture& app, const QString& name, const QString& marked) {
        app.start({app.env.writeFile(name, unmarked(marked).toUtf8())});
        RichTextControl* text = app.document(0)->txtRich;
        selectMarked(*text, marked);
        return QTest::qWaitForWindowActive(text->window()) ? text : nullptr;
    }

private slots:
    // The abbreviation before the cursor, read as the place in the document asks.
    void expands_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("list") << "page.htm"
                              << "ul>li*2|"
                              << "<ul>\r\n\t<li>|</li>\r\n\t<li></li>\r\n</ul>";
        QTest::newRow("line's indentation") << "page.htm"
                                            << "<div>\r\n\t\tul>li|\r\n</div>"
                                            << "<div>\r\n\t\t<ul>\r\n\t\t\t<li>|</li>\r\n\t\t</ul>\r\n</div>";
        QTest::newRow("items of the open list")
            << "page.htm"
            << "<ul>\r\n\t.x*2|\r\n</ul>"
            << "<ul>\r\n\t<li class=\"x\">|</li>\r\n\t<li class=\"x\"></li>\r\n</ul>";
        QTest::newRow("after a tag, text after") << "page.htm"
                                                 << "<p>b{x}| more</p>"
                                                 << "<p><b>x</b>| more</p>";
        QTest::newRow("style element") << "page.htm"
                                       << "<style>\r\n  p { m10+p0| }\r\n</style>"
                                       << "<style>\r\n  p { margin: 10px;\r\n  padding: 0;| }\r\n</style>";
        QTest::newRow("style attribute") << "page.htm"
                                         << "<p style=\"m0+dib|\">x</p>"
                                         << "<p style=\"margin: 0; display: inline-block;|\">x</p>";
        QTest::newRow("style sheet") << "site.css"
                                     << "a {\r\n\tw100p|\r\n}"
                                     << "a {\r\n\twidth: 100%;|\r\n}";
        QTest::newRow("value to come") << "site.css"
                                       << "m|"
                                       << "margin: |;";
    }
    void expands() {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, after);
        AppFixture app;
        RichTextControl* text = open(app, name, before);
        QVERIFY(text);
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(render(*text), after);
        QVERIFY(app.record(0).Modified);
    }

    // Typed and expanded: one step to undo, coloured as the document is.
    void oneUndoStepColoured() {
        AppFixture app;
        RichTextControl* text = open(app, "page.htm", "|");
        QVERIFY(text);
        typeText(text, "p>b");
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(render(*text), "<p><b>|</b></p>");
        const Settings& settings = app.main->settings();
        QCOMPARE(colors(*text), QList<ColorValue>(14, settings.TagColor));
        typeText(text, "x");
        QCOMPARE(text->colorAt(6), settings.TexColor);
        QStringList undone;
        for (int i = 0; i < 3; ++i) {
            sendKey(text, Qt::Key_Z, Qt::ControlModifier);
            undone << render(*text);
        }
        QCOMPARE(undone, QStringList({"<p><b>|</b></p>", "[p>b]", "|"}));
        sendKey(text, Qt::Key_R, Qt::ControlModifier);
        sendKey(text, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(unmarked(render(*text)), "<p><b></b></p>");
    }

    // An abbreviation that cannot be expanded leaves the document as it was; the status bar says why.
    void badAbbreviationChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << "page.htm"
                                 << "<p>ul>li.|</p>"
                                 << "Expected a name after '.' at character 7.";
        QTest::newRow("none") << "page.htm"
                              << "text |"
                              << "No abbreviation before the cursor.";
        QTest::newRow("too large") << "page.htm"
                                   << "(div*1000)*1000|"
                                   << "The expansion would be larger than 1 MB. Nothing was inserted.";
        QTest::newRow("in a value") << "page.htm"
                                    << "<p title=\"a ul>li|\">x</p>"
                                    << "Abbreviations are expanded between tags, not inside one.";
        QTest::newRow("unknown style") << "site.css"
                                       << "a { xyz1|"
                                       << "Unknown style abbreviation 'xyz' at character 1.";
    }
    void badAbbreviationChangesNothing() {
        QFETCH(QString, name);
        QFETCH(QString, marked);
        QFETCH(QString, message);
        AppFixture app;
        RichTextControl* text = open(app, name, marked);
        QVERIFY(text);
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(render(*text), marked);
        QCOMPARE(app.main->statusBar()->currentMessage(), message);
        QVERIFY(!app.record(0).Modified && !app.document(0)->mnuUndo->isEnabled());
    }

    // The edit points after an expansion, forward to the last and back.
    void editPoints() {
        AppFixture app;
        RichTextControl* text = open(app, "page.htm", "a+img|");
        QVERIFY(text);
        sendKey(text, Qt::Key_E, Qt::ControlModifier);
        QStringList seen{render(*text)};
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) {
            sendKey(text, key, Qt::ControlModifier | Qt::AltModifier);
            seen << render(*text);
        }
        QCOMPARE(
            seen,
            QStringList(
                {"<a href=\"|\"></a><img src=\"\" alt=\"\">", "<a href=\"\">|</a><img src=\"\" alt=\"\">",
                 "<a href=\"\"></a><img src=\"|\" alt=\"\">", "<a href=\"\"></a><img src=\"\" alt=\"|\">",
                 "<a href=\"\"></a><img src=\"\" alt=\"|\">", "<a href=\"\"></a><img src=\"|\" alt=\"\">"}));
        // The context menu's item does the same.
        text->select(text->textLength(), 0);
        typeText(text, " br");
        auto* item = app.main->popupMenu()->findChild<QAction*>("mnuExpandAbbr");
        QVERIFY(item);
        item->trigger();
        QCOMPARE(render(*text), "<a href=\"\"></a><img src=\"\" alt=\"\"> <br>|");
    }
};

QTEST_MAIN(ExpandAbbreviationTest)
#include "tst_expandabbreviation.moc"
