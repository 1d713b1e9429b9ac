#include "platform/Dialogs.h"

#include <QRegularExpression>
#include <QTest>

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void qtNameFilters_data();
    void qtNameFilters();
};

void TestDialogs::qtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("mixed descriptions")
        << QStringLiteral(
               "Default (*.htm)|*.htm|All Formats|*.asp;*.cgi|Hypertext (*.htm;*.html)|*.htm;*.html")
        << QStringList{QStringLiteral("Default (*.htm)"), QStringLiteral("All Formats (*.asp *.cgi)"),
                       QStringLiteral("Hypertext (*.htm *.html)")};
    QTest::newRow("description spelling patterns its own way")
        << QStringLiteral("PHP (*.php3,*.phtml)|*.php3;*.phtml|All Files (*.*)|*.*")
        << QStringList{QStringLiteral("PHP (*.php3 *.phtml)"), QStringLiteral("All Files (*.*)")};
    QTest::newRow("empty pattern entries")
        << QStringLiteral("Pictures|*.gif;;*.jpg;") << QStringList{QStringLiteral("Pictures (*.gif *.jpg)")};
    QTest::newRow("dangling description ignored")
        << QStringLiteral("Text (*.txt)|*.txt|Orphan") << QStringList{QStringLiteral("Text (*.txt)")};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestDialogs::qtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    const QStringList filters = ::qtNameFilters(filter);
    QCOMPARE(filters, expected);
    // What Qt's file dialog reads back as patterns: exactly those of the editor's filter.
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < filters.size(); ++i) {
        QVERIFY2(filters.at(i).count(QLatin1Char('(')) == 1, qPrintable(filters.at(i)));
        // Qt reads the patterns between the last parentheses, separated by blanks.
        static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)$"));
        const QRegularExpressionMatch match = patterns.match(filters.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(filters.at(i)));
        QCOMPARE(match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts),
                 parts.at(2 * i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
