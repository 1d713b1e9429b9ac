#include "markup/FormCode.h"
#include "platform/Version.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"
#include "wizards/frmForms.h"

#include <QtTest>
#include <QtWidgets>

class FormsTest : public QObject {
    Q_OBJECT
    static QString crlf(QString text) { return text.replace('\n', "\r\n"); }

private slots:
    // type -1: the FORM tag from NAME ACTION METHOD CLASS ENCTYPE ID LANG LANGUAGE TARGET TITLE; else a
    // control from name value selections size maxlength rows cols onchange onclick checked. Empty ones go.
    void build_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, int type, const QStringList& fields, const char* expected) {
            QTest::newRow(name) << type << fields << crlf(expected);
        };
        row("form attributes in fixed order, unescaped", -1,
            {"f", "x\"y", "Post", "c", "e", "i", "sv", "VBS", "_top", "a&b"},
            "<FORM NAME=\"f\" ACTION=\"x\"y\" METHOD=\"Post\" CLASS=\"c\" ENCTYPE=\"e\" ID=\"i\" LANG=\"sv\" "
            "LANGUAGE=\"VBS\" TARGET=\"_top\" TITLE=\"a&b\">\n\n</FORM>\n");
        row("combo box with two non-ASCII options", FormComboBox, {"size", "Smått 😀", "2"},
            "<SELECT NAME=\"size\">\n\t<OPTION>Smått 😀</OPTION>\n\t<OPTION>Smått 😀</OPTION>\n</SELECT>\n");
        row("text area value on its own line", FormTextArea, {"t", "Hé\tö", "", "", "", "3", "40", "c()"},
            "<TEXTAREA NAME=\"t\" ROWS=\"3\" COLS=\"40\" ONCHANGE=\"c()\">\nHé\tö\n</TEXTAREA>\n");
        row("list without options", FormList, {"", "v", "0"}, "<SELECT MULTIPLE>\n</SELECT>\n");
        row("check box: no options, checked", FormCheckBox, {"c", "1", "3", "", "", "", "", "", "f()", "x"},
            "<INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"1\" ONCLICK=\"f()\" CHECKED>\n");
        row("button ignores checked", FormButton, {"Button", "", "", "", "", "", "", "", "", "x"},
            "<INPUT TYPE=\"BUTTON\" NAME=\"Button\">\n");
        row("text field attribute order", FormTextField, {"n", "v", "", "5", "9", "", "", "g", "k"},
            "<INPUT TYPE=\"TEXT\" NAME=\"n\" VALUE=\"v\" SIZE=\"5\" MAXLENGTH=\"9\" ONCHANGE=\"g\" "
            "ONCLICK=\"k\">\n");
        row("too many options refused", FormComboBox, {"", "", "32768"}, "");
        row("count beyond any number refused", FormList, {"", "", "999999999999999999999999"}, "");
        row("no type", FormObjectTypeCount, {"n"}, "");
    }
    void build() {
        QFETCH(int, type);
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        const QStringList f = fields + QStringList(10 - fields.size(), QString());
        const FormFields form{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
        const ObjectFields object{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], !f[9].isEmpty()};
        QCOMPARE(type < 0 ? BuildFormCode(form) : BuildObjectCode(type, object, "\t"), expected);
    }

    // Options beyond 16 MB are refused: with a tab, a 492-character value makes 512-character options.
    void sizeLimit() {
        for (const int type : {FormComboBox, FormList})
            for (const int length : {492, 493})
                QCOMPARE(BuildObjectCode(type, {"", QString(length, 'v'), "32767"}, "\t").count("<OPTION>"),
                         length == 492 ? 32767 : 0);
    }

    // The FORM, then controls, into the current document; each addition one undo step.
    void addFormThenObjects() {
        ShellFixture app;
        auto* forms = new frmForms(app.start(), app.main.get());
        frmNotepad* document = app.document(0);
        document->txtRich->setText("ab");
        document->txtRich->select(1, 0);
        QVERIFY(shownActive(forms) && forms->txtFormName->hasFocus());
        QTest::keyClicks(forms->txtFormAction, "go.cgi");
        QTest::keyClick(forms->txtFormAction, Qt::Key_Return); // no default button takes Enter
        QCOMPARE(document->txtRich->text(), QString("ab"));
        const QString form = crlf("a<FORM ACTION=\"go.cgi\">\n|\n</FORM>\nb");
        forms->cmdAdd->click();
        QCOMPARE(render(*document->txtRich), form);
        QCOMPARE(forms->TabStrip1->currentIndex(), 1);
        QVERIFY(forms->fraObjects->isVisible() && forms->fraForm->isHidden());
        QVERIFY(forms->txtName->isEnabled() && !forms->txtValue->isEnabled() &&
                !forms->chkChecked->isEnabled());
        QTest::keyClicks(forms->txtName, "lost");
        forms->cmdAdd->click(); // no type picked: nothing
        QCOMPARE(render(*document->txtRich), form);
        const auto pick = [&](int type) {
            forms->cmbObject->setCurrentIndex(type);
            emit forms->cmbObject->activated(type);
        };
        pick(FormSubmitButton); // with its name and value filled in
        forms->cmdAdd->click();
        QCOMPARE(render(*document->txtRich), crlf("a<FORM ACTION=\"go.cgi\">\n<INPUT TYPE=\"SUBMIT\" "
                                                  "NAME=\"Submit\" VALUE=\"Submit\">\n|\n</FORM>\nb"));
        // Too many selections, or options beyond 16 MB, are refused with a message and add nothing.
        pick(FormComboBox);
        QVERIFY(forms->txtName->text().isEmpty() && forms->txtSelections->isEnabled());
        forms->txtSelections->setFocus();
        QTest::keyClicks(forms->txtSelections, "4x0 000");
        QCOMPARE(forms->txtSelections->text(), QString("40000"));
        const QString before = document->txtRich->text();
        forms->cmdAdd->click();
        forms->txtValue->setText(QString(32767, 'v'));
        QTest::keyClicks(forms->txtSelections, "32767"); // over the selected count
        forms->cmdAdd->click();
        QCOMPARE(document->txtRich->text(), before);
        QStringList messages;
        for (const ScriptedDialogs::Message& m : app.dialogs.messages)
            messages << m.title + ": " + m.text +
                            (m.icon == Dialogs::Icon::Information ? "" : " (not information)");
        QCOMPARE(messages,
                 QStringList({MessageBoxTitle() + ": The number of selections must be 32767 or less.",
                              MessageBoxTitle() + ": The control would be more than 16 MB of text. "
                                                  "Give fewer selections or a shorter value."}));
        QVERIFY(forms->txtSelections->hasFocus());
        pick(FormCheckBox); // a check box takes no count but a tick
        QVERIFY(!forms->txtSelections->isEnabled() && forms->chkChecked->isEnabled());
        QVERIFY(document->undoHistory().Undo() && document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), QString("ab"));
        app.main->documents().DocumentSlots[0].Modified = false;
        document->close();
        ShellFixture::flush();
        forms->TabStrip1->setCurrentIndex(0);
        forms->cmdAdd->click(); // no document: nothing, and the dialog stays
        QVERIFY(forms->isVisible() && forms->fraForm->isVisible());
        QPointer<frmForms> alive(forms);
        QTest::keyClick(forms->txtFormName, Qt::Key_Escape);
        ShellFixture::flush();
        QVERIFY(!alive);
    }
};

QTEST_MAIN(FormsTest)
#include "tst_forms.moc"
