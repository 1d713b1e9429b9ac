#pragma once

#include "editor/SpellDictionary.h"

#include <QTest>

// Whether the en_US dictionary of Debian's hunspell-en-us package is installed: the tests that
// check words against it skip without it, saying so.
inline bool EnglishDictionaryInstalled() {
    for (const DictionaryFiles& files : InstalledDictionaries())
        if (files.name == QLatin1String("en_US"))
            return true;
    return false;
}
#define REQUIRE_ENGLISH()                                                                                    \
    if (!EnglishDictionaryInstalled())                                                                       \
    QSKIP("The en_US dictionary is not installed (Debian package hunspell-en-us).")
