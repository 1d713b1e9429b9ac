#include "app/SettingsIO.h"
#include "app/frmSettings.h"
#include "editor/mdlFile.h"
#include "platform/SettingsStore.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QMap<QString, QString> storedSettings() {
    QMap<QString, QString> values;
    for (const QString& key : SettingsStore::keys("Settings"))
        values[key] = SettingsStore::read("Settings", key);
    return values;
}
// Sets a control by name: text boxes and combo boxes take the text, buttons "1" or "0".
void setControl(frmSettings& dialog, const QString& name, const QString& value) {
    QWidget* control = dialog.findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto* box = qobject_cast<QLineEdit*>(control))
        box->setText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->isEditable() ? combo->setEditText(value) : combo->setCurrentText(value);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(value.toInt());
    else
        qobject_cast<QAbstractButton*>(control)->setChecked(value == "1");
}
// "a=1|b=2" with "@root" standing for the test's folder; in "a=x>1" x is stored and 1 is read back.
QList<QStringList> pairs(QString text, const QString& root) {
    QList<QStringList> result;
    for (const QString& pair : text.replace("@root", root).split('|', Qt::SkipEmptyParts)) {
        const QString value = pair.section('=', 1);
        result << QStringList{pair.section('=', 0, 0), value.section('>', 0, 0), value.section('>', -1)};
    }
    return result;
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    // Settings read back keep usable values, else defaults; OK stores edits and keeps the rest.
    void ok_data() {
        table(
            {"stored", "edits", "changed"},
            {"unknown font, odd break; Font=No Such Font 7|FontSize=200|DefaultNewLN=\r\r|Indent=|"
             "DoOnOpen=6|UseColors=0; ; ",
             "unix, own indent, skin; DefaultNewLN=\n|Indent=  |SkinPath=/no/such.skn|JavaCompiler=@root|"
             "LastDir=0|DefaultDir=@root; ; ",
             "mac, colours; DefaultNewLN=\r|TagColor=1|TexColor=16777215|ValColor=65280|ComColor=255|"
             "BGColor=0|DefaultFormat=php3|CheckHtml5=1|CheckAccessibility=0; ; ",
             "defaults, size 12, empty other indent, missing folder; ; cmbFontSize=12|optIndOth=1|txtIndent=|"
             "chkLastDir=0|txtDefDir=/no/such; FontSize=12|Indent=|LastDir=0|DefaultDir=/no/such",
             "size empty; FontSize=20; cmbFontSize=; ", "size 0; ; cmbFontSize=0; ",
             "size 99999; FontSize=20; cmbFontSize=99999; ",
             "existing folder; ; chkLastDir=0|txtDefDir=@root/home; LastDir=0|DefaultDir=@root/home",
             "view and typing; ; txtTabWidth=8|chkHighlightLine=0|chkAutoIndent=0|chkCloseTags=0|"
             "chkRestoreSession=0; TabWidth=8|HighlightLine=0|AutoIndent=0|CloseTags=0|RestoreSession=0",
             "flags by word or number; LastDir=FALSE>0|CheckHtml5=True>1|CheckAccessibility=2>1; ; ",
             "junk and out of range keep the default; UseColors=perhaps>1|TagColor=red>200|"
             "ValColor=16777216>13107200|DoOnOpen=9>0|TabWidth=17>4|Zoom=41>0|LineNumbers=no>1; ; ",
             "view; TabWidth=16|Zoom=-20|HighlightLine=0|AutoIndent=0|RestoreSession=0; ; ",
             "compiler and folder gone; JavaCompiler=/no/such/javac>|"
             "DefaultDir=/no/such/folder>@root/data/Quillora/; ; "});
    }
    void ok() {
        const QString stored = cell("stored"), edits = cell("edits");
        AppFixture app;
        const QString root = app.env.root();
        for (const QStringList& pair : pairs(stored, root))
            SettingsStore::write("Settings", pair[0], pair[1]);
        frmQuillora& main = app.start();
        SaveSettings(main.settings());
        QMap<QString, QString> expected = storedSettings();
        for (const QStringList& pair : pairs(stored, root))
            QCOMPARE(expected[pair[0]], pair[2]);
        QStringList all; // with nothing stored: every key, with its default
        for (auto value = expected.cbegin(); value != expected.cend() && stored.isEmpty(); ++value)
            all << value.key() + "=" + value.value();
        if (stored.isEmpty())
            QCOMPARE(
                all.join('|').replace(app.env.programFolder(), "@prog"),
                "AutoIndent=1|BGColor=16777215|CheckAccessibility=0|CheckHtml5=0|ChosenColors=0|CloseTags=1|"
                "ComColor=25600|"
                "DefaultDir=@prog|"
                "DefaultFormat=htm|DefaultNewLN=\r\n|DoOnOpen=0|FindRegex=0|FindWholeWord=0|Font=MS Sans "
                "Serif|FontSize=8|HighlightLine=1|"
                "Indent=\t|JavaCompiler=|LastDir=1|LineNumbers=1|RestoreSession=1|SkinPath=|SpellCheck=1|"
                "SpellComments=0|SpellLanguage=|TabWidth=4|"
                "TagColor=200|TexColor=0|UseColors=1|ValColor=13107200|Zoom=0");
        for (const QStringList& pair : pairs(cell("changed"), root))
            expected[pair[0]] = pair[1];
        const QString folders = QDir::currentPath() + "|" + main.dialogFolder();
        main.showSettings(false);
        frmSettings* dialog = main.findChild<frmSettings*>();
        for (const QStringList& pair : pairs(edits, root))
            setControl(*dialog, pair[0], pair[1]);
        dialog->cmdOK->click();
        QCOMPARE(storedSettings(), expected);
        QCOMPARE(QDir::currentPath() + "|" + main.dialogFolder(),
                 edits.contains("@root/home") ? root + "/home|" + root + "/home" : folders);
    }

    // Modeless from a document, modal from F9 or Compile; key filters; OK restyles documents, keeps marks.
    void windows() {
        AppFixture app;
        frmQuillora& main = app.start();
        frmNotepad* changed = app.document(0);
        changed->txtRich->setSelText("<B>x</B>");
        const QString args = app.env.root() + "/args.txt", source = app.env.writeFile("A.java", "class A {}");
        frmNotepad* document = OpenDocument(main, source);
        document->txtRich->setSelStart(3);
        document->action(CommandId::Settings)->trigger();
        QPointer<frmSettings> dialog = main.findChild<frmSettings*>();
        QTRY_COMPARE(QApplication::focusWidget(), dialog->txtJavaCompiler);
        QVERIFY(!dialog->isModal() && dialog->tbsOptions->currentIndex() == 0);
        for (int from : {0, 1, 2}) {
            dialog->tbsOptions->setCurrentIndex(from);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            const int to = (from + 1) % 3;
            QCOMPARE(dialog->tbsOptions->currentIndex(), to);
            QVERIFY(dialog->picOptions[to]->isVisible() && !dialog->picOptions[from]->isVisible());
        }
        QStringList kept;
        for (const char* control :
             {"cmbFontSize", "txtIndent", "txtDefDir", "txtJavaCompiler", "txtSkin", "cmbExtention"}) {
            setControl(*dialog, control, "");
            QWidget* box = dialog->findChild<QWidget*>(control);
            QTest::keyClicks(box, QString(control) == "cmbFontSize" ? "1a2 ." : "a/\\:*?\"<>|b.");
            auto* combo = qobject_cast<QComboBox*>(box);
            kept << (combo ? combo->currentText() : qobject_cast<QLineEdit*>(box)->text());
        }
        QCOMPARE(kept, (QStringList{"12", "a/\\:*?\"<>|b.", "ab.", "ab.", "ab.", "ab."}));
        document->action(CommandId::Settings)->trigger();
        QCOMPARE(main.findChildren<frmSettings*>().size(), 1);
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            wasModal = QApplication::activeModalWidget() == dialog;
            dialog->cmdCancel->click();
        });
        main.action(CommandId::Settings)->trigger();
        AppFixture::flush();
        QVERIFY(wasModal && !dialog);

        main.showSettings(false);
        dialog = main.findChild<frmSettings*>();
        dialog->cmdBrowseBGColor->click(); // cancelled: the colour stays
        QCOMPARE(frmSettings::boxColor(dialog->txtBackcolor), 16777215);
        app.dialogs.colors << QColor(1, 2, 3) << QColor(10, 20, 30);
        dialog->cmdBrowseBGColor->click();
        dialog->cmdHTMLbrowse[1]->click();
        setControl(*dialog, "cmbFontSize", "17");
        QCOMPARE(dialog->lblExample->palette().color(QPalette::Window), QColor(1, 2, 3));
        QCOMPARE(dialog->lblExample->palette().color(QPalette::WindowText), QColor(10, 20, 30));
        QCOMPARE(dialog->lblExample->font().pointSize(), 17);
        dialog->cmdOK->click();
        for (frmNotepad* each : {changed, document}) {
            QCOMPARE(each->txtRich->palette().color(QPalette::Base), QColor(1, 2, 3));
            QCOMPARE(each->txtRich->font().pointSize(), 17);
            QTextCursor cursor(each->txtRich->document());
            cursor.setPosition(2);
            QVERIFY(!cursor.charFormat().hasProperty(QTextFormat::FontPointSize));
        }
        QCOMPARE(document->txtRich->selStart(), 3);
        QVERIFY(!document->windowTitle().endsWith('*') && !app.record(document->slot()).Modified);
        QVERIFY(changed->windowTitle().endsWith('*') && app.record(0).Modified);
        AppFixture::flush();

        const QString compiler =
            app.env.writeFile("javac.sh", "#!/bin/sh\necho \"$1\" > '" + args.toUtf8() + "'\n");
        QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        app.dialogs.answers << Dialogs::Answer::Yes;
        app.dialogs.openPaths << compiler;
        QTimer::singleShot(0, [&] {
            if ((dialog = qobject_cast<frmSettings*>(QApplication::activeModalWidget()))) {
                dialog->cmdBrowseCompiler->click();
                dialog->cmdOK->click();
            }
        });
        document->action(CommandId::Compile)->trigger();
        QCOMPARE(app.dialogs.openRequests.value(0).filter,
                 "Executables|*.exe;*.com;*.bat|All Files (*.*)|*.*");
        QCOMPARE(main.settings().JavaCompiler, compiler);
        QTRY_COMPARE(TestEnvironment::readFile(args), source.toUtf8() + "\n");
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
