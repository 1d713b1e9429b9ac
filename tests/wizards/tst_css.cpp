#include "support/Keys.h"
#include "support/ShellFixture.h"
#include "wizards/frmCSS.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Rules written as "command|properties", one per line.
QList<CssRule> rulesOf(const QString& text) {
    QList<CssRule> rules;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        rules << CssRule{line.section('|', 0, 0), line.section('|', 1)};
    return rules;
}
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
// One cell of the current data row.
QString cell(const char* column) {
    return *static_cast<QString*>(QTest::qData(column, QMetaType::QString));
}
// One data row of text cells.
template <typename... Cells> void row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << QString(cells));
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
    // Rules, layout ("1" one row, "n" one per row, "x" without STYLE tags) and the text written.
    void build_data() {
        for (const char* column : {"rules", "layout", "expected"})
            QTest::addColumn<QString>(column);
        row("per row, last without ;", "P|color:red; margin:0", "n",
            "<STYLE TYPE=\"text/css\">\r\nP\t{\r\n\tcolor:red;\r\n\tmargin:0;\r\n\t}\r\n</STYLE>\r\n");
        row("deleted slots", "|\nA|\n|\nB|b:1;\n|", "nx", "A\t{\r\n\t}\r\n\r\nB\t{\r\n\tb:1;\r\n\t}\r\n");
        row("nothing", "|", "1", "<STYLE TYPE=\"text/css\">\r\n</STYLE>\r\n");
    }
    void build() {
        QFETCH(QString, rules);
        QFETCH(QString, layout);
        QCOMPARE(BuildCss(rulesOf(rules), layout.contains('1') ? CssLayout::OneRow : CssLayout::OnePerRow,
                          layout.contains('x'), "\t"),
                 cell("expected"));
    }

    // A selection; the rules read from it and the text kept before and after the block.
    void read_data() {
        for (const char* column : {"selected", "rules", "around"})
            QTest::addColumn<QString>(column);
        row("block with text around",
            "x<style type=x>\r\nBODY\t{\r\n\tcolor:red;\r\n\t}\r\n\r\nP\t{margin:0}\r\n</style>y",
            "BODY|color:red;\nP|margin:0;", "x|y");
        row("no close, blanks behind", "H1 { color : red ;margin:0 \t", "H1|color : red ; margin:0;", "|");
        row("lines", "DIV\r\n\tP {margin: 0\r\nauto;;}", "DIV P|margin: 0 auto;", "|");
        row("nested ;", "Q{content:\"a;b\";background:url(a;b.gif)}",
            "Q|content:\"a;b\"; background:url(a;b.gif);", "|");
        row("open quote", "Q{a:\"x;y}", "Q|a:\"x; y;", "|");
        row("no rule", "<STYLE TYPE=x>text</style>", "", "|");
        row("close only", "{a:1}</STYLE>\r\n<P>", "|a:1;", "|\r\n<P>");
        row("text after the last rule is kept", "P{a:b}\r\nmore text", "P|a:b;", "|\r\nmore text");
        row("no rule at all is all kept", "just text", "", "|just text");
    }
    void read() {
        QFETCH(QString, selected);
        const StyleSelection read = ReadStyleSelection(selected);
        QCOMPARE(textOf(read.rules), textOf(rulesOf(cell("rules"))));
        QCOMPARE(read.before + '|' + read.after, cell("around"));
    }

    // "css.txt" sections (commands/properties/values/units); a marker out of order is dropped.
    void vocabulary_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        row("full",
            "head\r\nP\r\n<-- x -->\r\n\r\n A \r\n<-- Properties: -->\r\ncolor\r\n<-- Values: -->\n"
            "red\n<-- Units: -->\npx\n<-- End -->\nlost",
            "P,A/color/red/px");
        row("no values marker", "h\nP\n<-- Properties: -->\ncolor\n<-- Units: -->\npx", "P/color,px//");
        row("heading only", "<-- Properties: -->\nP", "P///");
        row("empty", "", "///");
    }
    void vocabulary() {
        QFETCH(QString, text);
        const CssVocabulary words = ParseCssVocabulary(text);
        QCOMPARE(QStringList({words.commands.join(','), words.properties.join(','), words.values.join(','),
                              words.units.join(',')})
                     .join('/'),
                 cell("expected"));
    }

    // Random rules written in both layouts read back unchanged (random fragments are the fuzz
    // target's work).
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

    // A style block selected with text around it: read, edited, written back in place as one step.
    void editBlock() {
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
    }

    // The keys in the dialog, each with its text: Enter in a box does that box's step and never
    // finishes the dialog; Ctrl+Enter is OK; Esc with rules made asks before they are thrown away.
    void keys_data() {
        for (const char* column : {"keys", "expected"})
            QTest::addColumn<QString>(column);
        // Keys go to the box named before ":"; the outcome: focus, properties, and how it ended.
        row("Enter in the command box goes on to the property", "command:P{Return}",
            "focus=cmbProperty props= open");
        row("Enter in the value or unit box adds the property",
            "property:color|value:red{Return}|property:{Ctrl+A}margin|value:{Ctrl+A}2|unit:em{Return}",
            "focus=cmbUnit props=color:red;,margin:2em; open");
        row("Ctrl+Enter is OK", "property:color|value:red{Return}|value:{Ctrl+Return}",
            "focus=cmbValue props=color:red; accepted");
        row("Esc without anything made closes", "command:{Esc}", "focus=cmbCommand props= rejected");
        row("Esc with a rule made asks: No keeps it", "command:P|property:a|value:b{Return}|value:{Esc}",
            "focus=cmbValue props=a:b; open asked=No");
        row("Esc with a rule made asks: Yes closes", "command:P|property:a|value:b{Return}|value:{Esc}",
            "focus=cmbValue props=a:b; rejected asked=Yes");
    }
    void keys() {
        QFETCH(QString, keys);
        ShellFixture app;
        app.start();
        frmCSS css(*app.main, app.main.get());
        QVERIFY(shownActive(&css));
        const QString expected = cell("expected");
        if (expected.contains("asked="))
            app.dialogs.answers << (expected.contains("asked=Yes") ? Dialogs::Answer::Yes
                                                                   : Dialogs::Answer::No);
        QComboBox* last = nullptr;
        for (const QString& step : keys.split('|')) {
            const QString name = step.section(':', 0, 0);
            last = name == "command"    ? css.cmbCommand
                   : name == "property" ? css.cmbProperty
                   : name == "value"    ? css.cmbValue
                                        : css.cmbUnit;
            last->setFocus();
            typeKeys(last->lineEdit(), step.section(':', 1));
        }
        const QString ended = css.isVisible()                     ? "open"
                              : css.result() == QDialog::Accepted ? "accepted"
                                                                  : "rejected";
        // Once closed, the focus has gone back to the document: the box last typed in is named.
        QWidget* focus = QApplication::focusWidget();
        const QString focused = ended != "open"                   ? last->objectName()
                                : !focus                          ? QString()
                                : qobject_cast<QComboBox*>(focus) ? focus->objectName()
                                                                  : focus->parent()->objectName();
        QString outcome = "focus=" + focused + " props=" + entries(css.lstProperties) + " " + ended;
        if (!app.dialogs.messages.isEmpty()) {
            QCOMPARE(app.dialogs.messages.last().text, "Discard the style rules you made?");
            QCOMPARE(app.dialogs.messages.last().buttons, Dialogs::Buttons::YesNoDefaultNo);
            outcome += expected.contains("asked=Yes") ? " asked=Yes" : " asked=No";
        }
        QCOMPARE(outcome, expected);
    }

    // The completion list of a box lies beside it: it never covers the box below, so a click on
    // that box lands in the box.
    void completionListBesideTheBox() {
        ShellFixture app;
        app.env.writeFile(
            "data/Quillora/css.txt",
            "head\r\nP\r\n<-- Properties: -->\r\ncolor\r\ncollapse\r\ncolumns\r\n<-- Values: -->\r\n"
            "red\r\n<-- Units: -->\r\nem\r\n");
        app.start();
        frmCSS css(*app.main, app.main.get());
        QVERIFY(shownActive(&css));
        css.cmbProperty->setFocus();
        typeText(css.cmbProperty->lineEdit(), "co");
        QWidget* list = css.cmbProperty->completer()->popup();
        QTRY_VERIFY(list->isVisible());
        const QRect listRect(list->mapToGlobal(QPoint(0, 0)), list->size());
        for (QComboBox* below : {css.cmbValue, css.cmbUnit}) {
            const QRect boxRect(below->mapToGlobal(QPoint(0, 0)), below->size());
            QVERIFY2(!listRect.intersects(boxRect), qPrintable(below->objectName()));
        }
    }

    // Rules with the same command are replaced and deleted one by one; the layouts and Clear CSS.
    void rules() {
        ShellFixture app;
        frmNotepad* document = app.start().documents().current();
        document->txtRich->setText("P{a:1;} P{b:2;} H1{c:3;}");
        document->txtRich->select(0, 24);
        frmCSS css(*app.main, app.main.get());
        css.show();
        click(css.lstAllCSS, 0);
        addProperty(css, "d", "4");
        css.cmbCommand->setEditText("p");
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        css.cmdAddCSS->click();
        QCOMPARE(textOf(css.rules()), "|\nP|a:1; d:4;\nP|b:2;\nH1|c:3;\n");
        css.cmdAddCSS->click();
        QCOMPARE(textOf(css.rules()), "|\np|a:1; d:4;\nP|b:2;\nH1|c:3;\n");
        QCOMPARE(entries(css.lstAllCSS), "p,P,H1");
        css.cmbCommand->setEditText("UL");
        css.cmdAddCSS->click();
        click(css.lstAllCSS, 0);
        click(css.lstAllCSS, 2, Qt::ControlModifier);
        css.cmdDelCSS->click();
        QCOMPARE(entries(css.lstAllCSS), "P,UL");
        QCOMPARE(entries(css.lstProperties), "");
        css.optOneRow->setChecked(true);
        css.chkExternal->setChecked(true);
        QCOMPARE(css.styleText(), "P\t{b:2;}\r\nUL\t{a:1; d:4;}\r\n");
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
        for (const int left : {2, 0}) {
            css.cmdClearCSS->click();
            QCOMPARE(css.lstAllCSS->count(), left);
        }
        QCOMPARE(app.dialogs.messages.last().text, "Are you sure you want to clear all commands?");
        QVERIFY(app.dialogs.messages.last().icon == Dialogs::Icon::Question);
        css.cmdCancel->click();
        QCOMPARE(document->txtRich->selText(), "P{a:1;} P{b:2;} H1{c:3;}");
    }

    // Values offered per property; colours and pictures chosen; nothing written into a closed document.
    void values() {
        ShellFixture app;
        frmNotepad* document = app.start().documents().current();
        frmCSS css(*app.main, app.main.get());
        css.show();
        QString picked = "#ff0000";
        css.colorPicker = [&picked](QLineEdit& box) { return box.setText(picked), !picked.isEmpty(); };
        QFocusEvent focus(QEvent::FocusIn);
        for (const char* name : {"color", "COLOR", "../css", "margin"}) {
            css.cmbProperty->setEditText(name);
            css.cmbValue->setEditText("typed");
            QCoreApplication::sendEvent(css.cmbValue, &focus);
            QCOMPARE(css.cmbValue->currentText(), "typed");
            QCOMPARE(css.cmbValue->itemText(1),
                     QString(name).startsWith('c', Qt::CaseInsensitive) ? "black" : "auto");
        }
        css.cmbProperty->setEditText("color");
        css.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&css));
        css.cmbValue->setFocus(); // then the first entry chosen in the box's own list
        for (const QString code : {"#ff0000", ""}) {
            picked = code;
            css.cmbValue->showPopup();
            const QAbstractItemView* view = css.cmbValue->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(0, 0)).center());
            QTRY_COMPARE(css.cmbValue->currentText(), code);
            QVERIFY(css.txtTemp->text().isEmpty() && css.txtTemp->isHidden());
        }
        css.cmbProperty->setEditText("background-image");
        QCoreApplication::sendEvent(css.cmbValue, &focus);
        app.dialogs.openPaths << app.env.root() + "/my (1).gif";
        css.cmbValue_Click(css.cmbValue->findText("Browse..."));
        QCOMPARE(css.cmbValue->currentText(), "url(" + app.env.root() + "/my%20%281%29.gif)");
        css.cmdAddProperty->click();
        css.cmbCommand->setEditText("BODY");
        css.cmdAddCSS->click();
        document->close();
        ShellFixture::flush();
        css.cmdOK->click();
        QVERIFY(css.result() == QDialog::Accepted && !app.main->documents().current());
    }
};

QTEST_MAIN(CssTest)
#include "tst_css.moc"
