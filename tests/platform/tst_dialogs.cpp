#include "platform/Dialogs.h"

#include <QTest>

// The editor's "description|patterns" filters as Qt's file dialog reads them: Qt takes the
// patterns from the last parentheses, separated by blanks.
class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void qtNameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("mixed descriptions")
            << "Default (*.htm)|*.htm|All Formats|*.asp;*.cgi|Hypertext (*.htm;*.html)|*.htm;*.html"
            << QStringList{"Default (*.htm)", "All Formats (*.asp *.cgi)", "Hypertext (*.htm *.html)"};
        QTest::newRow("description spelling patterns its own way")
            << "PHP (*.php3,*.phtml)|*.php3;*.phtml|All Files (*.*)|*.*"
            << QStringList{"PHP (*.php3 *.phtml)", "All Files (*.*)"};
        QTest::newRow("empty pattern entries")
            << "Pictures|*.gif;;*.jpg;" << QStringList{"Pictures (*.gif *.jpg)"};
        QTest::newRow("dangling description") << "Text (*.txt)|*.txt|Orphan" << QStringList{"Text (*.txt)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void qtNameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(::qtNameFilters(filter), expected);
    }
};

QTEST_APPLESS_MAIN(TestDialogs)
#include "tst_dialogs.moc"
