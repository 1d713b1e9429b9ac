#include "platform/Translations.h"

#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace {
const QString kCatalogueFolder = QStringLiteral(":/i18n");
const QString kCataloguePrefix = QStringLiteral("quillora_");
} // namespace

QStringList AvailableLanguages() {
    QStringList languages;
    const QStringList files =
        QDir(kCatalogueFolder)
            .entryList({kCataloguePrefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        languages << file.mid(kCataloguePrefix.size()).chopped(3);
    return languages;
}

QString ChooseLanguage(const QStringList& uiLanguages, const QStringList& available) {
    for (const QString& wanted : uiLanguages) {
        // "de-DE", "de_AT.UTF-8", "pt-BR": a catalogue of the region ("pt_BR") before the language's.
        const QString name = wanted.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
        const QStringList parts = name.split(QRegularExpression(QStringLiteral("[-_]")), Qt::SkipEmptyParts);
        if (parts.isEmpty())
            continue;
        const QString language = parts.first().toLower();
        if (language == QLatin1String("en") || language == QLatin1String("c") ||
            language == QLatin1String("posix"))
            return QString();
        if (parts.size() > 1) {
            const QString regional = language + QLatin1Char('_') + parts.last().toUpper();
            if (available.contains(regional))
                return regional;
        }
        if (available.contains(language))
            return language;
    }
    return QString();
}

bool LoadCatalogue(QTranslator& translator, const QString& language) {
    return !language.isEmpty() && translator.load(kCataloguePrefix + language, kCatalogueFolder);
}

bool InstallTranslations(QCoreApplication& app, const QString& language) {
    if (language.isEmpty())
        return true;
    auto* own = new QTranslator(&app);
    if (!LoadCatalogue(*own, language)) {
        qCWarning(lcQuillora) << "The catalogue of language" << language << "could not be loaded";
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    // Qt's own texts (the buttons of message boxes, the file dialog) in the same language; without
    // Debian's qt6-translations-l10n they stay English, which the program's texts do not depend on.
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return true;
}

QString UserLanguage() {
    return ChooseLanguage(QLocale::system().uiLanguages(), AvailableLanguages());
}

QString InstallUserTranslations(QCoreApplication& app) {
    const QString language = UserLanguage();
    return InstallTranslations(app, language) ? language : QString();
}
