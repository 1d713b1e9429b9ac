#include "editor/LineEndings.h"

#include <QTest>

// Each row: a text, its DOS, MAC and UNIX forms, and the format its breaks ask for (-1: none).
class LineEndingsTest : public QObject {
    Q_OBJECT
private slots:
    void convert_data() {
        for (const char* column : {"input", "crlf", "cr", "lf"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("detected");
        const auto row = [](const char* name, const char* in, const char* crlf, const char* cr,
                            const char* lf, int detected) {
            QTest::newRow(name) << QString(in) << QString(crlf) << QString(cr) << QString(lf) << detected;
        };
        const int Dos = int(SaveFormat::Dos), Unix = int(SaveFormat::Unix), Mac = int(SaveFormat::Mac);
        row("lone CR", "\r", "\r\n", "\r", "\n", Mac);
        row("lone LF", "\n", "\r\n", "\r", "\n", Unix);
        row("LF CR is two breaks", "\n\r", "\r\n\r\n", "\r\r", "\n\n", Unix);
        row("mixed", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd", "a\rb\rc\rd", "a\nb\nc\nd", Dos);
        row("CR CR LF", "a\r\r\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos);
        row("CR LF LF", "a\r\n\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos);
        row("LF wins over CR", "a\rb\nc", "a\r\nb\r\nc", "a\rb\rc", "a\nb\nc", Unix);
        row("no breaks", "abc", "abc", "abc", "abc", -1);
        row("empty", "", "", "", "", -1);
    }
    void convert() {
        QFETCH(QString, input);
        QFETCH(QString, crlf);
        QFETCH(QString, cr);
        QFETCH(QString, lf);
        QFETCH(int, detected);
        QCOMPARE(NormalizeToCrLf(input), crlf);
        QCOMPARE(NormalizeToCrLf(crlf), crlf); // normalising twice changes nothing more
        QCOMPARE(ConvertToCr(input), cr);
        QCOMPARE(ConvertToLf(input), lf);
        QCOMPARE(ConvertForSave(input, SaveFormat::Dos), crlf);
        QCOMPARE(ConvertForSave(input, SaveFormat::Mac), cr);
        QCOMPARE(ConvertForSave(input, SaveFormat::Unix), lf);
        const std::optional<SaveFormat> found = DetectLineBreaks(input);
        QCOMPARE(found ? int(*found) : -1, detected);
    }
};

QTEST_APPLESS_MAIN(LineEndingsTest)
#include "tst_lineendings.moc"
