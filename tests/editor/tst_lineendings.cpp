#include "editor/LineEndings.h"

#include <QTest>

class LineEndingsTest : public QObject {
    Q_OBJECT
private slots:
    void normalize_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lone CR") << "\r"
                                 << "\r\n";
        QTest::newRow("lone LF") << "\n"
                                 << "\r\n";
        QTest::newRow("CR LF stays") << "\r\n"
                                     << "\r\n";
        QTest::newRow("LF CR is two breaks") << "\n\r"
                                             << "\r\n\r\n";
        QTest::newRow("mixed") << "a\r\nb\nc\rd"
                               << "a\r\nb\r\nc\r\nd";
        QTest::newRow("CR CR LF") << "a\r\r\nb"
                                  << "a\r\n\r\nb";
        QTest::newRow("CR LF LF") << "a\r\n\nb"
                                  << "a\r\n\r\nb";
        QTest::newRow("only CRs") << "a\rb\r"
                                  << "a\r\nb\r\n";
        QTest::newRow("no breaks") << "abc"
                                   << "abc";
        QTest::newRow("empty") << ""
                               << "";
    }
    void normalize() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeToCrLf(input), expected);
        // Normalising twice changes nothing more.
        QCOMPARE(NormalizeToCrLf(NormalizeToCrLf(input)), expected);
    }

    void convert_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("toCr");
        QTest::addColumn<QString>("toLf");
        QTest::newRow("mixed") << "a\r\nb\nc"
                               << "a\rb\rc"
                               << "a\nb\nc";
        QTest::newRow("LF CR") << "\n\r"
                               << "\r\r"
                               << "\n\n";
        QTest::newRow("CR only") << "x\ry"
                                 << "x\ry"
                                 << "x\ny";
        QTest::newRow("none") << "xy"
                              << "xy"
                              << "xy";
    }
    void convert() {
        QFETCH(QString, input);
        QFETCH(QString, toCr);
        QFETCH(QString, toLf);
        QCOMPARE(ConvertToCr(input), toCr);
        QCOMPARE(ConvertToLf(input), toLf);
        QCOMPARE(ConvertForSave(input, SaveFormat::Mac), toCr);
        QCOMPARE(ConvertForSave(input, SaveFormat::Unix), toLf);
        QCOMPARE(ConvertForSave(input, SaveFormat::Dos), NormalizeToCrLf(input));
    }

    void detect_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("expected"); // -1: none
        QTest::newRow("CR LF wins over LF") << "a\nb\r\nc" << int(SaveFormat::Dos);
        QTest::newRow("LF wins over CR") << "a\rb\nc" << int(SaveFormat::Unix);
        QTest::newRow("CR") << "a\rb" << int(SaveFormat::Mac);
        QTest::newRow("none") << "ab" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void detect() {
        QFETCH(QString, input);
        QFETCH(int, expected);
        const std::optional<SaveFormat> found = DetectLineBreaks(input);
        QCOMPARE(found ? int(*found) : -1, expected);
    }
};

QTEST_APPLESS_MAIN(LineEndingsTest)
#include "tst_lineendings.moc"
