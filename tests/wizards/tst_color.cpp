#include "support/AppFixture.h"
#include "support/Rendered.h"
#include "wizards/ColorCodes.h"
#include "wizards/frmColor.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
QString shown(const frmColor& dialog) {
    return QStringList{dialog.txtRed->text(), dialog.txtGreen->text(), dialog.txtBlue->text(), dialog.code()}
        .join(' ');
}
// Data rows given as "name; column; column..."; the name is the first column too when `named` is off.
void rows(std::initializer_list<const char*> table, bool named = true) {
    for (const char* row : table) {
        const QStringList cells = QString(row).split("; ");
        QTestData& data = QTest::newRow(qPrintable(cells[0]));
        for (const QString& cell : cells.mid(named ? 1 : 0))
            data << cell;
    }
}

} // namespace

class ColorTest : public QObject {
    Q_OBJECT

private slots:
    void codes_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("expected");
        rows({"rgb 255 128 0; #ff8000", "rgb 16 0 1; #100001", "rgb 300 -5 255; #ff00ff", "digit -1; 0",
              "digit 10; a", "digit 16; f", "value F; 15", "value b9; 11", "value 7; 7", "value g; 0",
              "value ; 0"},
             false);
    }
    void codes() {
        QFETCH(QString, call);
        const QStringList w = call.split(' ');
        QTEST(w[0] == "rgb"     ? RGBToHex(w[1].toInt(), w[2].toInt(), w[3].toInt())
              : w[0] == "digit" ? QString(HexDigit(w[1].toInt()))
                                : QString::number(HexValue(w[1])),
              "expected");
    }

    void digits_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("digit");
        QTest::addColumn<QString>("after"); // " =": the key changed nothing
        rows({"a lone 0 counts as empty; |0; 9; 9|", "behind 30, clamped; 30|; 9; 255|",
              "behind 0 the zero goes; 0|; 7; 7|", "empty box; |; 4; 4|", "at the start; |12; 1; 1|12",
              "at the start, clamped; |12; 3; 255|", "a 0 in front goes; |12; 0; |12",
              "between two; 1|5; 2; 12|5", "between two, clamped; 3|0; 9; 255|",
              "selection replaced; [12]8; 5; 5|8", "selection, clamped; 2[0]0; 9; 25|5",
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

    // The code given is shown as it stands; a change writes the boxes' code in lower case; a cancelled
    // "Select color..." changes nothing. A field takes the code and the colour.
    void dialog_data() {
        for (const char* column : {"code", "action", "opened", "after"})
            QTest::addColumn<QString>(column);
        rows({"upper case; #FF8000; green 64; 255 128 0 #FF8000; 255 64 0 #ff4000",
              "lower case; #c0c0c0; green 64; 192 192 192 #c0c0c0; 192 64 192 #c040c0",
              "no code; red; green 64; 0 0 0 #000000; 0 64 0 #004000",
              "too short; #ff80; choose 18 52 86; 0 0 0 #000000; 18 52 86 #123456",
              "not hexadecimal; #zz8000; green 1; 0 128 0 #008000; 0 1 0 #000100",
              "the same colour chosen; #FF8000; choose 255 128 0; 255 128 0 #FF8000; 255 128 0 #ff8000",
              "choice cancelled; #FF8000; choose; 255 128 0 #FF8000; 255 128 0 #FF8000"});
    }
    void dialog() {
        QFETCH(QString, code);
        QFETCH(QString, action);
        AppFixture app;
        app.start();
        QLineEdit field(code);
        frmColor dialog(field.text(), *app.main, app.main.get());
        QTEST(shown(dialog), "opened");
        QCOMPARE(render(*dialog.txtRed), "[" + dialog.txtRed->text() + "]");
        QVERIFY(dialog.picPicture->isHidden());
        const QStringList w = action.split(' ');
        if (w[0] == "green")
            dialog.txtGreen->setText(w[1]);
        else
            app.dialogs.colors.enqueue(w.size() < 4
                                           ? std::nullopt
                                           : std::optional(QColor(w[1].toInt(), w[2].toInt(), w[3].toInt())));
        if (w[0] == "choose")
            dialog.cmdSelect->click();
        QTEST(shown(dialog), "after");
        QCOMPARE(dialog.txtColor->palette().color(QPalette::Base), dialog.color());
        frmColor::applyToField(field, dialog.code());
        QCOMPARE(field.text() + ' ' + field.palette().color(QPalette::Base).name(),
                 dialog.code() + ' ' + dialog.color().name());
    }

    // Keys go to the focused control: digits and letters, "<" Backspace, ">" Enter, "^" pastes,
    // "~" moves the focus away. At the end Enter on OK accepts, Esc elsewhere cancels.
    void keys_data() {
        for (const char* column : {"keys", "clipboard", "expected"}) // expected: red box, code, focus
            QTest::addColumn<QString>(column);
        rows({"opens selected; ; ; [0] #000000 txtRed", "over the selection; 12; ; 12| #0c0000 txtRed",
              "clamped; 300; ; 255| #ff0000 txtRed", "letters swallowed; 1a 2; ; 12| #0c0000 txtRed",
              "a fourth digit; 1234; ; 123| #7b0000 txtRed", "emptied; 5<; ; 0| #000000 txtRed",
              "emptied and left; <~; ; 0| #000000 txtBlue", "Enter moves on; 1>2>3>; ; 1| #010203 cmdOK",
              "paste of letters; ^; 12a; [0] #000000 txtRed", "paste clamped; ^; 999; 255| #ff0000 txtRed"});
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        AppFixture app;
        app.start();
        frmColor dialog(QString(), *app.main, app.main.get());
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QApplication::clipboard()->setText(clipboard);
        const QHash<QChar, Qt::Key> named{{'<', Qt::Key_Backspace}, {'>', Qt::Key_Return}, {'^', Qt::Key_V}};
        for (QChar key : keys) {
            if (key == '~')
                dialog.txtBlue->setFocus();
            else if (named.contains(key))
                QTest::keyClick(dialog.focusWidget(), named[key],
                                key == '^' ? Qt::ControlModifier : Qt::NoModifier);
            else
                QTest::keyClick(dialog.focusWidget(), key.toLatin1());
        }
        QWidget* focus = dialog.focusWidget();
        QTEST(render(*dialog.txtRed) + ' ' + dialog.code() + ' ' + focus->objectName(), "expected");
        QCOMPARE(dialog.cmdOK->isDefault(), focus == dialog.cmdOK);
        QTest::keyClick(focus, focus == dialog.cmdOK ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(focus == dialog.cmdOK ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY(dialog.isHidden());
    }

    // A picture of two halves: its pixels' colours are taken; a cancel, an unreadable file and a
    // point outside change nothing.
    void picture() {
        AppFixture app;
        app.start();
        app.main->setDialogFolder(app.env.root());
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(QColor(10, 20, 30));
        for (int x = 10; x < 20; ++x)
            for (int y = 0; y < 10; ++y)
                image.setPixelColor(x, y, QColor(200, 100, 50));
        const QString good = app.env.root() + "/two.png", bad = app.env.writeFile("bad.png", "not a picture");
        QVERIFY(image.save(good));
        frmColor dialog("#FF8000", *app.main, app.main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Each step opens a path (good, bad, "-" cancels) or picks a point ("@" through pickAt, "c" a
        // click, "d" a drag with the left button), then the dialog shows s (as it started), l or d.
        const QHash<QChar, QString> colours{
            {'s', "255 128 0 #FF8000"}, {'l', "200 100 50 #c86432"}, {'d', "10 20 30 #0a141e"}};
        const QString script = "-=s bad=s @1,1=s good=s @15,9=l @20,0=l c2,3=d bad=d -=d d12,3=l @0,0=d";
        for (const QString& step : script.split(' ')) {
            const QString what = step.section('=', 0, 0);
            const QPoint point(what.mid(1).section(',', 0, 0).toInt(), what.section(',', 1).toInt());
            if (what[0] == '@')
                dialog.pickAt(point);
            else if (what[0] == 'c')
                QTest::mouseClick(dialog.picPicture, Qt::LeftButton, {}, point);
            else if (what[0] == 'd') {
                QMouseEvent drag(QEvent::MouseMove, point, dialog.picPicture->mapToGlobal(QPointF(point)),
                                 Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(dialog.picPicture, &drag);
            } else {
                app.dialogs.openPaths.enqueue(what == "good" ? good : what == "bad" ? bad : QString());
                dialog.cmdPick->click();
            }
            QCOMPARE(shown(dialog), colours[step.back()]);
            QCOMPARE(dialog.picPicture->isVisible(), app.dialogs.openRequests.size() >= 3);
        }
        const Dialogs::FileRequest request = app.dialogs.openRequests.last();
        QCOMPARE(request.filter.section('|', 0, 1),
                 QString("GIF, JPEG, PNG (*.gif,*.jpg,*.png)|*.gif;*.jpg;*.png"));
        QCOMPARE(request.folder + ' ' + QString::number(request.filterIndex), app.env.root() + " 1");
        QVERIFY(dialog.width() > 20 && dialog.height() > 10);
    }

    // A document's selection: six characters behind "#" are widened over it; OK writes the code in
    // place of the selection as one undo step; red -1 cancels.
    void document_data() {
        for (const char* column : {"text", "red", "opened", "result"})
            QTest::addColumn<QString>(column);
        rows({"six behind #; a=#[c0c0c0];; 255; 192 192 192 #c0c0c0; a=#ffc0c0|;",
              "the whole code; a=[#C0C0C0];; 1; 192 192 192 #C0C0C0; a=#01c0c0|;",
              "cancelled; a=#[c0c0c0];; -1; 192 192 192 #c0c0c0; a=[#c0c0c0];",
              "nothing selected; a|b; 0; 0 0 0 #000000; a#000000|b",
              "six at the start; [c0c0c0]; 0; 0 0 0 #000000; #000000|"});
    }
    void document() {
        QFETCH(QString, text);
        QFETCH(QString, red);
        AppFixture app;
        app.start();
        app.main->mutableSettings().UseColors = false;
        frmNotepad* document = app.document(0);
        const auto [plain, cursor, start, length] = parse(text);
        document->txtRich->setText(plain);
        document->txtRich->select(start, length);
        frmColor dialog(frmColor::prepareDocumentSelection(*document), document->host(),
                        document->host().dialogParent());
        QTEST(shown(dialog), "opened");
        if (red != "-1") {
            dialog.txtRed->setText(red);
            dialog.cmdOK_Click();
            frmColor::applyToDocument(*document, dialog.code());
        }
        QTEST(::render(*document->txtRich), "result");
        QCOMPARE(document->undoHistory().Undo(), red != "-1");
        QCOMPARE(document->txtRich->text(), plain);
    }
};

QTEST_MAIN(ColorTest)
#include "tst_color.moc"
