#include "browser/frmView.h"
#include "platform/Translations.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/EveryDialog.h"

#include <QtTest>
#include <QtWidgets>

// The German catalogue against the texts of the code, the choice of language, and the German
// menus a user meets.
namespace {
struct Message {
    QString context, source, translation; // a %n message's forms joined by "|"
    bool finished = true;
};

// The text of the element the reader is on, up to its end: lupdate writes a carriage return as
// <byte value="xd"/>, and a %n message's forms as <numerusform> elements, joined here by "|".
QString readText(QXmlStreamReader& xml) {
    QString text;
    QStringList forms;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("byte"))
                text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
            else if (xml.name() == QLatin1String("numerusform"))
                text.clear();
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (xml.name() == QLatin1String("numerusform"))
                forms << text;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return forms.isEmpty() ? text : forms.join(QLatin1Char('|'));
}

QList<Message> readCatalogue(const QString& path) {
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = readText(xml);
        } else if (xml.name() == QLatin1String("source")) {
            message = Message{context, readText(xml), {}, true};
        } else if (xml.name() == QLatin1String("comment")) {
            message.source += QStringLiteral(" (") + readText(xml) + QLatin1Char(')');
        } else if (xml.name() == QLatin1String("translation")) {
            message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            message.translation = readText(xml);
            messages << message;
        }
    }
    return messages;
}

// The accelerator letters of a caption ("&&" is a plain "&").
QString accelerators(const QString& caption) {
    QString letters;
    for (int i = 0; i + 1 < caption.size(); ++i)
        if (caption.at(i) == QLatin1Char('&')) {
            if (caption.at(i + 1) != QLatin1Char('&'))
                letters += caption.at(i + 1).toLower();
            ++i;
        }
    return letters;
}

QStringList placeholders(const QString& text) {
    QStringList found;
    static const QRegularExpression marker(QStringLiteral("%(\\d|n)"));
    for (auto match = marker.globalMatch(text); match.hasNext();)
        found << match.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

// Every accelerator collision among the visible items of `menu` and its submenus, "" when none;
// an item of the command table (named mnu...) without an accelerator counts as one.
QString clashes(QMenu* menu) {
    QString report;
    QMap<QChar, QString> taken;
    for (QAction* item : menu->actions()) {
        if (!item->isVisible() || item->isSeparator())
            continue;
        const QString letters = accelerators(item->text());
        if (letters.size() != 1) {
            report += QStringLiteral("%1: \"%2\" has %3 accelerators; ")
                          .arg(menu->title(), item->text())
                          .arg(letters.size());
            continue;
        }
        if (taken.contains(letters.at(0)))
            report += QStringLiteral("%1: \"%2\" and \"%3\"; ")
                          .arg(menu->title(), taken[letters.at(0)], item->text());
        taken[letters.at(0)] = item->text();
        if (item->menu())
            report += clashes(item->menu());
    }
    return report;
}

// The program's catalogue and Qt's for `language` while it lives.
struct Language {
    explicit Language(const QString& language) { installed = InstallTranslations(*qApp, language); }
    ~Language() {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    bool installed = false;
};

// The accelerator collisions among the controls of `dialog` shown when it opens, "" when none.
QString dialogClashes(const QDialog& dialog) {
    QMap<QChar, QString> taken;
    QString report;
    const auto add = [&](const QWidget* control, const QString& caption) {
        if (!control->isVisible())
            return;
        for (const QChar letter : accelerators(caption)) {
            if (taken.contains(letter))
                report += QStringLiteral("\"%1\" and \"%2\"; ").arg(taken[letter], caption);
            taken[letter] = caption;
        }
    };
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        add(button, button->text());
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy())
            add(label, label->text());
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        add(group, group->title());
    return report;
}

// This process's environment with the language settings of `settings` ("LANGUAGE=de|LANG=C") alone.
QProcessEnvironment userEnvironment(const QString& settings) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LANG", "LC_ALL", "LC_MESSAGES"})
        env.remove(QString::fromLatin1(name));
    for (const QString& pair : settings.split(QLatin1Char('|')))
        env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    return env;
}
} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    // lupdate over the code finds no text the catalogue lacks or has in excess; every German
    // entry is finished, keeps the placeholders of its source and has an accelerator where the
    // English has one.
    void germanCatalogueIsComplete() {
        const QString committed = QStringLiteral(QUILLORA_SOURCE_DIR "/translations/quillora_de.ts");
        QTemporaryDir dir;
        const QString updated = dir.filePath(QStringLiteral("quillora_de.ts"));
        QVERIFY(QFile::copy(committed, updated));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(QUILLORA_LUPDATE),
                      {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-obsolete"),
                       QStringLiteral(QUILLORA_SOURCE_DIR "/src"), QStringLiteral("-ts"), updated});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

        const QList<Message> before = readCatalogue(committed), after = readCatalogue(updated);
        QVERIFY(!before.isEmpty());
        QStringList problems;
        QSet<QString> known;
        for (const Message& message : before)
            known << message.context + QLatin1Char('|') + message.source;
        QSet<QString> inCode;
        for (const Message& message : after) {
            const QString key = message.context + QLatin1Char('|') + message.source;
            inCode << key;
            if (!known.contains(key))
                problems << QStringLiteral("missing: ") + key;
        }
        for (const Message& message : before) {
            const QString key = message.context + QLatin1Char('|') + message.source;
            if (!inCode.contains(key))
                problems << QStringLiteral("no longer in the code: ") + key;
            if (!message.finished || message.translation.isEmpty()) {
                problems << QStringLiteral("unfinished: ") + key;
                continue;
            }
            for (const QString& form : message.translation.split(QLatin1Char('|'))) {
                if (form.isEmpty())
                    problems << QStringLiteral("a form left empty: ") + key;
                if (placeholders(form) != placeholders(message.source))
                    problems << QStringLiteral("placeholders differ: %1 -> %2").arg(key, form);
                if (accelerators(form).size() > 1 ||
                    (!accelerators(message.source).isEmpty() && accelerators(form).isEmpty()))
                    problems << QStringLiteral("accelerator: %1 -> %2").arg(key, form);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // The user's languages most wanted first: English, C or a missing catalogue before a
    // language the program speaks keeps it English.
    void chooseLanguage_data() {
        table({"languages", "chosen"},
              {"german; de-DE; de", "german of Austria; de_AT.UTF-8; de", "language alone; de; de",
               "french first; fr-FR,de-CH; de", "english first; en-US,de-DE; ", "LANGUAGE list; en_GB:de; ",
               "C; C; ", "POSIX; POSIX; ", "none; ; ", "none spoken; fr-FR,it; ", "region; pt-BR; pt_BR",
               "other region; pt-PT; ", "script; de-Latn-DE; de", "C with charset; C.UTF-8,de; "});
    }
    void chooseLanguage() {
        const QStringList wanted =
            cell("languages").split(QRegularExpression(QStringLiteral("[,:]")), Qt::SkipEmptyParts);
        const QStringList available = QStringList{QStringLiteral("de"), QStringLiteral("pt_BR")};
        QCOMPARE(ChooseLanguage(wanted, available), cell("chosen"));
    }

    void catalogueCompiledIn() {
        QCOMPARE(AvailableLanguages(), QStringList{QStringLiteral("de")});
        QVERIFY(InstallTranslations(*qApp, QString()));
        QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("catalogue of language.*xx")));
        QVERIFY(!InstallTranslations(*qApp, QStringLiteral("xx")));
    }

    // German menus in the main and a document window, each item with one accelerator of its own.
    void germanMenus() {
        Language german(QStringLiteral("de"));
        QVERIFY(german.installed);
        AppFixture app;
        frmQuillora& main = app.start();
        const auto barOfMain = [&main] {
            QStringList titles;
            for (QAction* action : main.menuBar()->actions())
                titles << action->text();
            return titles;
        };
        // The program starts with a new document, whose menus the bar shows.
        frmNotepad* document = app.document(app.main->documents().current()->slot());
        QVERIFY(document);
        const QStringList documentMenus{"&Datei",    "&Bearbeiten", "E&xtras",
                                        "&Optionen", "&Fenster",    "&Hilfe"};
        QCOMPARE(barOfMain(), documentMenus);
        QCOMPARE(accelerators(documentMenus.join(QString())).size(), 6);
        for (QMenu* menu : document->menus())
            QVERIFY2(clashes(menu).isEmpty(), qPrintable(clashes(menu)));
        QCOMPARE(document->action(CommandId::SaveAs)->text(), QStringLiteral("Speichern &unter …"));
        // The keys stay those of the English items, and so do the names scripts and tests use.
        QCOMPARE(document->action(CommandId::Save)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(document->menus().value(0)->objectName(), QStringLiteral("mnuFile"));

        // With the document closed, the main window's own menus.
        document->action(CommandId::Close)->trigger();
        HostFixture<frmQuillora>::flush();
        QCOMPARE(barOfMain(), (QStringList{"&Datei", "&Optionen", "&Hilfe"}));
        for (QAction* action : main.menuBar()->actions())
            QVERIFY2(clashes(action->menu()).isEmpty(), qPrintable(clashes(action->menu())));
    }

    // Each dialog in German: no two of its controls share an accelerator.
    void germanDialogs_data() {
        QTest::addColumn<QString>("item");
        for (const DialogItem& dialog : kDialogItems)
            QTest::newRow(dialog.dialog) << dialog.item;
    }
    void germanDialogs() {
        Language german(QStringLiteral("de"));
        AppFixture app;
        app.start();
        app.document(0)->txtRich->setText("<P>some words</P>");
        app.document(0)->txtRich->select(3, 4); // Format works on a selection
        QString report;
        QCOMPARE(WithDialog(app, cell("item"), [&](QDialog& dialog) { report = dialogClashes(dialog); }),
                 QString(QTest::currentDataTag()));
        QVERIFY2(report.isEmpty(), qPrintable(report));
    }

    // The help page keeps its English content; its window shows the page's title in German.
    void germanHelpTitle() {
        Language german(QStringLiteral("de"));
        AppFixture app;
        app.start();
        app.document(0)->action(CommandId::Help)->trigger();
        auto* view = app.main->findChild<frmView*>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), QStringLiteral("QL Viewer - Quillora-Hilfe"), 15000);
    }

    // A start as the user meets it: the language comes from the environment (LANGUAGE before LANG),
    // Qt's own buttons with it; --help answers in it too, before any window. "shown": the first menu
    // and Qt's Cancel button, or the first line of the help.
    void startsInTheUsersLanguage_data() {
        table({"environment", "option", "shown"},
              {"LANGUAGE over C; LANGUAGE=de|LANG=C; --show-menus; &Datei|Abbrechen",
               "LANG german; LANG=de_DE.UTF-8; --show-menus; &Datei|Abbrechen",
               "LANG C; LANG=C; --show-menus; File|Cancel",
               "LANG english; LANG=en_US.UTF-8; --show-menus; File|Cancel",
               "english before german; LANGUAGE=en_GB:de|LANG=de_DE.UTF-8; --show-menus; File|Cancel",
               "french then german; LANGUAGE=fr:de|LANG=fr_FR.UTF-8; --show-menus; &Datei|Abbrechen",
               "help in german; LANGUAGE=de|LANG=C; --help; Aufruf: quillora [DATEI]...",
               "help in english; LANG=en_GB.UTF-8; --help; Usage: quillora [FILE]..."});
    }
    void startsInTheUsersLanguage() {
        const bool help = cell("option") == "--help";
        QProcess child;
        child.setProcessEnvironment(userEnvironment(cell("environment")));
        child.start(help ? QString::fromLocal8Bit(qgetenv("QUILLORA_BINARY"))
                         : QCoreApplication::applicationFilePath(),
                    {cell("option")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0),
                 cell("shown"));
    }
};

// With --show-menus the program starts as its main does and prints the first menu on the bar (of
// the new document it starts with) and Qt's own Cancel button.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--show-menus") == 0) {
        InstallUserTranslations(app);
        AppFixture fixture;
        frmQuillora& main = fixture.start();
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        std::printf("%s|%s\n", qPrintable(main.menuBar()->actions().value(0)->text()),
                    qPrintable(buttons.button(QDialogButtonBox::Cancel)->text()));
        return 0;
    }
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
