#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/ShellFixture.h"
#include "wizards/frmCSS.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Rules written as "command|properties", one per line.
QString textOf(const QList<CssRule>& rules) {
    QString text;
    for (const CssRule& rule : rules)
        text += rule.command + '|' + rule.properties + '\n';
    return text;
}
QString entries(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts.join(',');
}
void click(QListWidget* list, int row, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualItemRect(list->item(row)).center());
}
void addProperty(frmCSS& css, const QString& name, const QString& value, const QString& unit = {}) {
    css.cmbProperty->setEditText(name);
    css.cmbValue->setEditText(value);
    css.cmbUnit->setEditText(unit);
    css.cmdAddProperty->click();
}

} // namespace

class CssTest : public QObject {
    Q_OBJECT

private slots:
    // A selection; the rules read from it, as textOf writes them, and the text kept around the block.
    void read_data() {
        table({"selected", "rules", "around"}, {});
        const auto row = [](const char* name, const auto&... cells) {
            (QTest::newRow(name) << ... << QString(cells));
        };
        row("block with text around",
            "x<style type=x>\r\nBODY\t{\r\n\tcolor:red;\r\n\t}\r\n\r\nP\t{margin:0}\r\n</style>y",
            "BODY|color:red;\nP|margin:0;\n", "x|y");
        row("no close, blanks behind", "H1 { color : red ;margin:0 \t", "H1|color : red ; margin:0;\n", "|");
        row("lines, CR LF or CR alone", "DIV\r\n\tP {margin: 0\rauto;;}", "DIV P|margin: 0 auto;\n", "|");
        row("nested ;", "Q{content:\"é;€😀\";background:url(a;b.gif)}",
            "Q|content:\"é;€😀\"; background:url(a;b.gif);\n", "|");
        row("a value longer than 65536", "P{a:" + QString(70000, 'x') + "}",
            "P|a:" + QString(70000, 'x') + ";\n", "|");
        row("open quote", "Q{a:\"x;y}", "Q|a:\"x; y;\n", "|");
        row("no rule", "<STYLE TYPE=x>text</style>", "", "|");
        row("close only", "{a:1}</STYLE>\r\n<P>", "|a:1;\n", "|\r\n<P>");
        row("text after the last rule is kept", "P{a:b}\r\nmore text", "P|a:b;\n", "|\r\nmore text");
        row("no rule at all is all kept", "just text", "", "|just text");
    }
    void read() {
        const StyleSelection read = ReadStyleSelection(cell("selected"));
        QTEST(textOf(read.rules), "rules");
        QTEST(read.before + '|' + read.after, "around");
    }

    // "css.txt" sections (commands/properties/values/units); a marker out of order is dropped.
    void vocabulary_data() {
        table({"text", "expected"},
              {"full; head\r\nP\r\n<-- x -->\r\n\r\n A \r\n<-- Properties: -->\r\ncolor\r\n<-- Values: -->\n"
               "red\n<-- Units: -->\npx\n<-- End -->\nlost; P,A/color/red/px",
               "no values marker; h\nP\n<-- Properties: -->\ncolor\n<-- Units: -->\npx; P/color,px//",
               "heading only; <-- Properties: -->\nP; P///"});
    }
    void vocabulary() {
        const CssVocabulary words = ParseCssVocabulary(cell("text"));
        const QStringList lists{words.commands.join(','), words.properties.join(','), words.values.join(','),
                                words.units.join(',')};
        QTEST(lists.join('/'), "expected");
    }

    // Random rules written in both layouts read back unchanged (random fragments: the fuzz target).
    void randomRules() {
        QRandomGenerator random(7);
        const QStringList commands{"P", "BODY", "A:hover", "H1, H2", "DIV P", "#id .c", ""};
        const QStringList values{"red", "0 auto", "\"a;b\"", "url(x;y.gif)", "'q'", "12pt", "1px solid #000"};
        for (int round = 0; round < 200; ++round) {
            QList<CssRule> rules;
            for (int r = random.bounded(6); r > 0; --r) {
                QStringList items;
                for (int i = random.bounded(4); i > 0; --i)
                    items << QString("p%1:%2;").arg(i).arg(values[random.bounded(values.size())]);
                rules << CssRule{commands[random.bounded(commands.size())], JoinProperties(items)};
            }
            QList<CssRule> kept = rules;
            kept.removeIf([](const CssRule& rule) { return rule.isEmpty(); });
            for (const CssLayout layout : {CssLayout::OneRow, CssLayout::OnePerRow})
                QCOMPARE(textOf(ReadStyleSelection(BuildCss(rules, layout, round % 2, "\t")).rules),
                         textOf(kept));
        }
    }

    // A style block selected: read, edited, written back as one step; then rules of one command; then values.
    void dialog() {
        ShellFixture app;
        frmNotepad* document = app.start().documents().current();
        const QString old =
            "x\r\n<STYLE TYPE=\"text/css\">\r\nBODY\t{color:red}\r\nP\t{margin:0;}\r\n</STYLE>\r\ny";
        document->txtRich->setText(old);
        document->txtRich->select(1, old.size() - 1);
        frmCSS css(*app.main, app.main.get());
        css.show();
        QCOMPARE(entries(css.lstAllCSS), "BODY,P");
        QFocusEvent tab(QEvent::FocusIn, Qt::TabFocusReason); // the focus alone chooses no rule
        QCoreApplication::sendEvent(css.lstAllCSS, &tab);
        QVERIFY(css.lstAllCSS->currentItem() && css.cmbCommand->currentText().isEmpty());
        QTest::keyClick(css.lstAllCSS, Qt::Key_Down);
        QCOMPARE(entries(css.lstProperties), "margin:0;");
        addProperty(css, "border-color", "red");
        addProperty(css, "border", "1px solid"); // border-color is no border: no question
        QVERIFY(app.dialogs.messages.isEmpty());
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        addProperty(css, "MARGIN", "2");
        addProperty(css, "Margin", "1", "em");
        QCOMPARE(app.dialogs.messages.size(), 2);
        QVERIFY(app.dialogs.messages[0].icon == Dialogs::Icon::Information);
        QCOMPARE(app.dialogs.messages[0].text,
                 "That property already exists!\r\nWould you like to replace it?");
        QCOMPARE(entries(css.lstProperties), "border-color:red;,border:1px solid;,Margin:1em;");
        click(css.lstProperties, 1);
        QCOMPARE(css.cmbProperty->currentText() + "=" + css.cmbValue->currentText(), "border=1px solid");
        css.cmdDelProperty->click();
        QVERIFY(css.cmbProperty->currentText().isEmpty() && css.cmbValue->currentText().isEmpty());
        click(css.lstAllCSS, 0);
        QCOMPARE(entries(css.lstProperties), "color:red;");
        css.cmdOK->click();
        QCOMPARE(css.result(), int(QDialog::Accepted));
        QCOMPARE(document->txtRich->text(),
                 "x\r\n<STYLE TYPE=\"text/css\">\r\nBODY\t{\r\n\tcolor:red;\r\n\t}\r\n\r\n"
                 "P\t{\r\n\tborder-color:red;\r\n\tMargin:1em;\r\n\t}\r\n</STYLE>\r\ny");
        QVERIFY(document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), old);
        QVERIFY(!document->undoHistory().Undo());
        // Rules with the same command replaced and deleted one by one; the layouts and Clear CSS.
        document->txtRich->setText("P{a:1;} P{b:2;} H1{c:3;}");
        document->txtRich->select(0, 24);
        frmCSS again(*app.main, app.main.get());
        again.show();
        click(again.lstAllCSS, 0);
        addProperty(again, "d", "4");
        again.cmbCommand->setEditText("p");
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        again.cmdAddCSS->click();
        QCOMPARE(textOf(again.rules()), "|\nP|a:1; d:4;\nP|b:2;\nH1|c:3;\n");
        again.cmdAddCSS->click();
        QCOMPARE(textOf(again.rules()), "|\np|a:1; d:4;\nP|b:2;\nH1|c:3;\n");
        QCOMPARE(entries(again.lstAllCSS), "p,P,H1");
        again.cmbCommand->setEditText("UL");
        again.cmdAddCSS->click();
        click(again.lstAllCSS, 0);
        click(again.lstAllCSS, 2, Qt::ControlModifier);
        again.cmdDelCSS->click();
        QCOMPARE(entries(again.lstAllCSS), "P,UL");
        QCOMPARE(entries(again.lstProperties), "");
        again.optOneRow->setChecked(true);
        again.chkExternal->setChecked(true);
        QCOMPARE(again.styleText(), "P\t{b:2;}\r\nUL\t{a:1; d:4;}\r\n"); // the deleted rules' slots left out
        again.optOnePerRow->setChecked(true);
        QCOMPARE(again.styleText(), "P\t{\r\n\tb:2;\r\n\t}\r\n\r\nUL\t{\r\n\ta:1;\r\n\td:4;\r\n\t}\r\n");
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        for (const int left : {2, 0}) {
            again.cmdClearCSS->click();
            QCOMPARE(again.lstAllCSS->count(), left);
        }
        again.chkExternal->setChecked(false);
        QCOMPARE(again.styleText(), "<STYLE TYPE=\"text/css\">\r\n</STYLE>\r\n");
        QCOMPARE(app.dialogs.messages.last().text, "Are you sure you want to clear all commands?");
        QVERIFY(app.dialogs.messages.last().icon == Dialogs::Icon::Question);
        again.cmdCancel->click();
        QCOMPARE(document->txtRich->selText(), "P{a:1;} P{b:2;} H1{c:3;}");
        // Values offered per property, colours and pictures chosen, none put in a closed document.
        frmCSS form(*app.main, app.main.get());
        QVERIFY(shownActive(&form));
        QString picked = "#ff0000";
        form.colorPicker = [&picked](QLineEdit& box) { return box.setText(picked), !picked.isEmpty(); };
        QFocusEvent focus(QEvent::FocusIn);
        for (const char* name : {"color", "COLOR", "../css", "margin"}) {
            form.cmbProperty->setEditText(name);
            form.cmbValue->setEditText("typed");
            QCoreApplication::sendEvent(form.cmbValue, &focus);
            QCOMPARE(form.cmbValue->currentText(), "typed");
            QCOMPARE(form.cmbValue->itemText(1),
                     QString(name).startsWith('c', Qt::CaseInsensitive) ? "black" : "auto");
        }
        form.cmbProperty->setEditText("color");
        form.cmbValue->setFocus(); // then the first entry chosen in the box's own list
        for (const QString code : {"#ff0000", ""}) {
            picked = code;
            form.cmbValue->showPopup();
            const QAbstractItemView* view = form.cmbValue->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(0, 0)).center());
            QTRY_COMPARE(form.cmbValue->currentText(), code);
            QVERIFY(form.txtTemp->text().isEmpty() && form.txtTemp->isHidden());
        }
        form.cmbProperty->setEditText("background-image");
        QCoreApplication::sendEvent(form.cmbValue, &focus);
        app.dialogs.openPaths << app.env.root() + "/my (1).gif";
        form.cmbValue_Click(form.cmbValue->findText("Browse..."));
        QCOMPARE(form.cmbValue->currentText(), "url(" + app.env.root() + "/my%20%281%29.gif)");
        form.cmdAddProperty->click();
        form.cmbCommand->setEditText("BODY");
        form.cmdAddCSS->click();
        app.dialogs.answers << Dialogs::Answer::No; // not saved
        document->close();
        ShellFixture::flush();
        form.cmdOK->click();
        QVERIFY(form.result() == QDialog::Accepted && !app.main->documents().current());
    }

    // Keys to the box named before ":": Enter does its step, never OK; Ctrl+Enter is OK; Esc may ask.
    void keys_data() {
        table({"keys", "expected"},
              {"Enter in the command box goes on to the property; Command:P{Return}; open focus=cmbProperty "
               "props=",
               "Enter in the value or unit box adds the property; "
               "Property:color|Value:red{Return}|Property:{Ctrl+A}margin|Value:{Ctrl+A}2|Unit:em{Return}; "
               "open focus=cmbUnit props=color:red;,margin:2em;",
               "Ctrl+Enter is OK; Property:color|Value:red{Return}|Value:{Ctrl+Return}; "
               "accepted focus=cmbValue props=color:red;",
               "Esc without anything made closes; Command:{Esc}; rejected focus=cmbCommand props=",
               "Esc with a rule made asks: No keeps it, Yes closes; "
               "Command:P|Property:a|Value:b{Return}|Value:{Esc}|Value:{Esc}; "
               "rejected asked asked focus=cmbValue props=a:b;"});
    }
    void keys() {
        ShellFixture app;
        app.start();
        frmCSS css(*app.main, app.main.get());
        QVERIFY(shownActive(&css));
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes; // to the questions in turn
        QComboBox* last = nullptr;
        for (const QString& step : cell("keys").split('|')) {
            last = css.findChild<QComboBox*>("cmb" + step.section(':', 0, 0));
            last->setFocus();
            typeKeys(last->lineEdit(), step.section(':', 1));
        }
        const QString ended = css.isVisible() ? "open" : QStringList{"rejected", "accepted"}[css.result()];
        // Once closed, the focus has gone back to the document: the box last typed in is named.
        QWidget* focus = ended != "open" ? last : QApplication::focusWidget();
        QVERIFY(focus);
        const QString focused =
            (qobject_cast<QComboBox*>(focus) ? focus : focus->parentWidget())->objectName();
        QString outcome = ended;
        for (const ScriptedDialogs::Message& asked : app.dialogs.messages) {
            QVERIFY(asked.text == "Discard the style rules you made?" &&
                    asked.buttons == Dialogs::Buttons::YesNoDefaultNo);
            outcome += " asked";
        }
        QTEST(outcome + " focus=" + focused + " props=" + entries(css.lstProperties), "expected");
    }

    // A completion list lies beside its box: it never covers the boxes below, so a click lands there.
    void completionListBesideTheBox() {
        ShellFixture app;
        app.start();
        frmCSS css(*app.main, app.main.get());
        QVERIFY(shownActive(&css));
        css.cmbProperty->setFocus();
        typeText(css.cmbProperty->lineEdit(), "co");
        QWidget* list = css.cmbProperty->completer()->popup();
        QTRY_VERIFY(list->isVisible());
        const QRect listRect(list->mapToGlobal(QPoint(0, 0)), list->size());
        for (QComboBox* below : {css.cmbValue, css.cmbUnit})
            QVERIFY(!listRect.intersects(QRect(below->mapToGlobal(QPoint(0, 0)), below->size())));
    }
};

QTEST_MAIN(CssTest)
#include "tst_css.moc"
