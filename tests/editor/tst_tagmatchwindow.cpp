#include "support/AppFixture.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>

// Go to Matching Tag (Ctrl+Shift+M) and Select Element (Ctrl+Shift+A) by keys in a document window of
// the main window, whose menu bar holds the window's items.
class TagMatchWindowTest : public QObject {
    Q_OBJECT

    // The renderings after each of `presses` of `key` with Ctrl+Shift, from `cursor` in the file `name`.
    static QStringList press(const QString& name, const QByteArray& content, int cursor, Qt::Key key,
                             int presses) {
        AppFixture app;
        app.start({app.env.writeFile(name, content)});
        RichTextControl* text = app.document(0)->txtRich;
        text->select(cursor, 0);
        if (!QTest::qWaitForWindowActive(text->window()))
            return {"not active"};
        QStringList seen;
        for (int i = 0; i < presses; ++i) {
            sendKey(text, key, Qt::ControlModifier | Qt::ShiftModifier);
            seen << render(*text);
        }
        return seen;
    }

private slots:
    void keys_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("expected");
        const QByteArray page = "<div>\r\n<p>one <b>two</b></p>\r\n</div>";
        QTest::newRow("tag and back") << "page.htm" << page << 15 << int(Qt::Key_M)
                                      << QStringList{"<div>\r\n<p>one <b>two|</b></p>\r\n</div>",
                                                     "<div>\r\n<p>one |<b>two</b></p>\r\n</div>"};
        QTest::newRow("element widens") << "page.htm" << page << 19 << int(Qt::Key_A)
                                        << QStringList{"<div>\r\n<p>one [<b>two</b>]</p>\r\n</div>",
                                                       "<div>\r\n[<p>one <b>two</b></p>]\r\n</div>",
                                                       "[<div>\r\n<p>one <b>two</b></p>\r\n</div>]",
                                                       "[<div>\r\n<p>one <b>two</b></p>\r\n</div>]"};
        QTest::newRow("brackets in a script")
            << "code.js" << QByteArray("f(a[1, \"]\"]) ") << 3 << int(Qt::Key_M)
            << QStringList{"f(a[1, \"]\"|]) ", "f(a|[1, \"]\"]) "};
    }

    void keys() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, cursor);
        QFETCH(int, key);
        QFETCH(QStringList, expected);
        QCOMPARE(press(name, content, cursor, Qt::Key(key), int(expected.size())), expected);
    }

    // The tag at the cursor and its partner are marked, after moves and after edits that leave the cursor.
    void marksFollowTheCursor() {
        AppFixture app;
        app.start({app.env.writeFile("page.htm", "<p>one <b>two</b></p>")});
        RichTextControl* text = app.document(0)->txtRich;
        QVERIFY(QTest::qWaitForWindowActive(text->window()));
        const auto marked = [text] {
            QCoreApplication::processEvents();
            QString shown = text->text();
            QList<QTextEdit::ExtraSelection> marks = text->extraSelections();
            std::sort(marks.begin(), marks.end(), [](const auto& a, const auto& b) {
                return a.cursor.selectionStart() > b.cursor.selectionStart();
            });
            for (const QTextEdit::ExtraSelection& mark : marks)
                shown.insert(text->toOffset(mark.cursor.selectionEnd()), u'»')
                    .insert(text->toOffset(mark.cursor.selectionStart()), u'«');
            return shown;
        };
        text->select(8, 0);
        QStringList seen{marked()};
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Delete, Qt::Key_Right, Qt::Key_End}) {
            sendKey(text, key);
            seen << marked();
        }
        QCOMPARE(seen, QStringList({"<p>one «<b>»two«</b>»</p>", "<p>one «<b>»two«</b>»</p>",
                                    "<p>one «<b>»two«</b>»</p>", "<p>one «<b>»wo«</b>»</p>",
                                    "<p>one <b>wo</b></p>", "«<p>»one <b>wo</b>«</p>»"}));
    }
};

QTEST_MAIN(TagMatchWindowTest)
#include "tst_tagmatchwindow.moc"
