#include "markup/ColorCodes.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"
#include "wizards/frmColor.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// "ab|c" is a cursor; "a[bc]" a selection, its cursor at the end. Gives text, cursor, start, length.
std::tuple<QString, int, int, int> parse(QString s) {
    const int bar = int(s.indexOf('|')), open = int(s.indexOf('[')), close = int(s.indexOf(']')) - 1;
    return bar >= 0 ? std::tuple(s.remove(bar, 1), bar, bar, 0)
                    : std::tuple(s.remove('[').remove(']'), close, open, close - open);
}
QString render(const QLineEdit& box) {
    QString s = box.text();
    return box.hasSelectedText() ? s.insert(box.selectionEnd(), ']').insert(box.selectionStart(), '[')
                                 : s.insert(box.cursorPosition(), '|');
}
} // namespace

class ColorTest : public QObject {
    Q_OBJECT

private slots:
    // Codes are lower case, two digits a component, clamped; a character that is no digit is 0.
    void codes() {
        QCOMPARE(RGBToHex(255, 128, 0) + RGBToHex(300, -5, 16) + HexDigit(-1) + HexDigit(10) + HexDigit(16),
                 "#ff8000#ff00100af");
        QCOMPARE(QList<int>({HexValue("F"), HexValue("b9"), HexValue("7"), HexValue("g"), HexValue("")}),
                 QList<int>({15, 11, 7, 0, 0}));
    }

    void digits_data() { // " =": the key changed nothing
        table({"before", "digit", "after"},
              {"a lone 0 counts as empty; |0; 9; 9|", "behind 30, clamped; 30|; 9; 255|",
               "behind 0 the zero goes; 0|; 7; 7|", "a 0 in front goes; |12; 0; |12",
               "between two; 1|5; 2; 12|5", "selection, clamped; 2[0]0; 9; 25|5",
               "selection keeps zeros; [1]00; 0; 0|00",
               "three characters; 12|3; 4; 12|3 =", "not a digit; |5; x; |5 ="});
    }
    void digits() {
        QFETCH(QString, before);
        QFETCH(QString, digit);
        const auto [text, cursor, start, length] = parse(before);
        const DigitResult r = ApplyDigit(text, cursor, start, length, digit.at(0));
        QTEST(QString(r.text).insert(r.cursor, '|') + (r.changed ? "" : " ="), "after");
    }

    // The dialog on a selection gets `keys` ("<" Backspace, ">" Enter, "~" Tab, "^" pastes `extra`, "*"
    // chooses `extra`; "G" opens a two-tone picture, "B" a bad one, "?" none; "L", "Z", "O" click light,
    // dark, outside, "M" drags). Expected: red, green, blue, code, focus, the text after OK or Esc.
    void dialog_data() {
        table({"text", "keys", "extra", "expected"},
              {"code kept as given; [#Ff8000]; ; ; [255] 128 0 #Ff8000 txtRed [#Ff8000]",
               "no code; a[red]; ; ; [0] 0 0 #000000 txtRed a[red]",
               "not hexadecimal; [#zz8000]; ; ; [0] 128 0 #008000 txtRed [#zz8000]",
               "six behind #, Enter moves on; a=#[FF8000];; 1>2>12>; ; 1| 2 12 #01020c cmdOK a=#01020c|;",
               "nothing selected; a|b; >>>; ; 0| 0 0 #000000 cmdOK a#000000|b",
               "six at the start; [c0c0c0]; >>>; ; 0| 0 0 #000000 cmdOK #000000|",
               "letters and spaces swallowed, three digits; |; 1a 234; ; 123| 0 0 #7b0000 txtRed |",
               "emptied and left; |; 5<~; ; 0| 0 0 #000000 txtGreen |",
               "paste of letters; |; ^; 12a; [0] 0 0 #000000 txtRed |",
               "paste clamped; |; ^; 999; 255| 0 0 #ff0000 txtRed |",
               "chosen; red|; *; #123456; 18| 52 86 #123456 txtRed red|",
               "the same colour chosen; [#FF8000]; *; #ff8000; 255| 128 0 #ff8000 txtRed [#FF8000]",
               "choice cancelled; [#FF8000]; *; ; [255] 128 0 #FF8000 txtRed [#FF8000]",
               "no picture; [#FF8000]; ?BO; ; [255] 128 0 #FF8000 txtRed [#FF8000]",
               "a pixel taken, then none; |; GLO?B; ; 200| 100 50 #c86432 QScrollArea |",
               "clicked at the corner; |; GLZ; ; 10| 20 30 #0a141e QScrollArea |",
               "dragged; |; GM; ; 200| 100 50 #c86432 QScrollArea |"});
    }
    void dialog() {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(QString, extra);
        ShellFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        const auto [plain, cursor, start, length] = parse(text);
        document->txtRich->setText(plain);
        document->txtRich->select(start, length);
        frmColor dialog(frmColor::prepareDocumentSelection(document->editable()), *app.main, app.main.get());
        QVERIFY(shownActive(&dialog));
        QApplication::clipboard()->setText(extra);
        app.main->setDialogFolder(app.env.root());
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(QColor(10, 20, 30));
        QPainter(&image).fillRect(10, 0, 10, 10, QColor(200, 100, 50));
        QVERIFY(image.save(app.env.root() + "/two.png"));
        const QHash<QChar, QString> pictures{{'G', app.env.root() + "/two.png"},
                                             {'B', app.env.writeFile("bad.png", "not a picture")},
                                             {'?', ""}};
        const QHash<QChar, QPoint> points{{'L', {15, 9}}, {'Z', {0, 9}}, {'O', {20, 0}}, {'M', {12, 3}}};
        const QHash<QChar, Qt::Key> named{
            {'<', Qt::Key_Backspace}, {'>', Qt::Key_Return}, {'^', Qt::Key_V}, {'~', Qt::Key_Tab}};
        for (QChar key : keys) {
            if (key == '*') {
                app.dialogs.colors.enqueue(extra.isEmpty() ? std::nullopt : std::optional(QColor(extra)));
                dialog.cmdSelect->click();
            } else if (pictures.contains(key)) {
                app.dialogs.openPaths.enqueue(pictures[key]);
                dialog.cmdPick->click();
            } else if (points.contains(key)) { // a click, or for "M" a drag from the dark corner
                QTest::mousePress(dialog.picPicture, Qt::LeftButton, {}, points[key == 'M' ? 'Z' : key]);
                QTest::mouseMove(dialog.picPicture, points[key]);
                QTest::mouseRelease(dialog.picPicture, Qt::LeftButton, {}, points[key]);
            } else if (named.contains(key))
                QTest::keyClick(dialog.focusWidget(), named[key],
                                key == '^' ? Qt::ControlModifier : Qt::NoModifier);
            else
                QTest::keyClick(dialog.focusWidget(), key.toLatin1());
        }
        QWidget* focus = dialog.focusWidget();
        const QString focused =
            focus->objectName().isEmpty() ? focus->metaObject()->className() : focus->objectName();
        const bool ok = focus == dialog.cmdOK;
        QCOMPARE(dialog.picPicture->isVisible(), keys.contains('G'));
        if (keys.contains('G')) { // opened from the dialog folder, its first filter, and shown whole
            const Dialogs::FileRequest request = app.dialogs.openRequests.last();
            QCOMPARE(request.folder + ' ' + QString::number(request.filterIndex), app.env.root() + " 1");
            QVERIFY(dialog.width() > 20 && dialog.height() > 10);
        }
        QCOMPARE(dialog.txtColor->palette().color(QPalette::Base), dialog.color());
        QCOMPARE(dialog.cmdOK->isDefault(), ok);
        QLineEdit field;
        frmColor::applyToField(field, dialog.code());
        QCOMPARE(field.text() + ' ' + field.palette().color(QPalette::Base).name(),
                 dialog.code() + ' ' + dialog.color().name());
        QTest::keyClick(focus, ok ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(dialog.isHidden() && dialog.result() == (ok ? QDialog::Accepted : QDialog::Rejected));
        if (ok)
            frmColor::applyToDocument(document->editable(), dialog.code());
        QTEST(render(*dialog.txtRed) + ' ' + dialog.txtGreen->text() + ' ' + dialog.txtBlue->text() + ' ' +
                  dialog.code() + ' ' + focused + ' ' + ::render(*document->txtRich),
              "expected");
        QCOMPARE(document->undoHistory().Undo(), ok);
        QCOMPARE(document->txtRich->text(), plain);
    }
};

QTEST_MAIN(ColorTest)
#include "tst_color.moc"
