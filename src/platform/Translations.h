#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;
class QTranslator;

// The program's texts in the user's language: its own catalogue (":/i18n/quillora_<language>.qm",
// compiled in) and Qt's (qtbase_<language>.qm from Qt's translations folder) for the buttons and
// common dialogs Qt draws. English is the program's own language and needs no catalogue.

// The catalogues compiled into the program, by language ("de").
QStringList AvailableLanguages();

// The language to show, from the user's languages most wanted first (QLocale::uiLanguages, "de-DE",
// "en_GB", "C"): the first that is English, C or has a catalogue in `available`. "" for English,
// also when none fits, so a language the program does not speak never skips an English the user
// listed after it.
QString ChooseLanguage(const QStringList& uiLanguages, const QStringList& available);

// Loads the program's own catalogue of `language` into `translator`; false when it has none.
bool LoadCatalogue(QTranslator& translator, const QString& language);

// Installs the catalogues of `language` ("" installs none) into `app`, which owns them. Call it
// before any window is built: texts are translated as the widgets are made. False when the
// program's own catalogue cannot be loaded.
bool InstallTranslations(QCoreApplication& app, const QString& language);

// The user's language (QLocale::system, which follows LANGUAGE) that the program speaks; "" for
// English.
QString UserLanguage();

// Installs the catalogues of the user's language; the language chosen, "" for English.
QString InstallUserTranslations(QCoreApplication& app);
