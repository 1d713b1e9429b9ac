#include "app/SettingsIO.h"

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QStandardPaths>

namespace {
const QString kSection = QStringLiteral("Settings");

// The section's values, read at once: opening the store for each of some thirty keys cost more
// than the rest of reading them.
using StoredValues = QHash<QString, QString>;

QString readString(const StoredValues& stored, const QString& key, const QString& fallback) {
    return stored.value(key, fallback);
}

// Numbers are stored as decimal text; text that is not a number keeps the default.
long long readNumber(const StoredValues& stored, const QString& key, long long fallback, long long low,
                     long long high) {
    const auto found = stored.constFind(key);
    if (found == stored.cend())
        return fallback;
    bool ok = false;
    const long long value = found->trimmed().toLongLong(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

ColorValue readColor(const StoredValues& stored, const QString& key, ColorValue fallback) {
    return static_cast<ColorValue>(readNumber(stored, key, fallback, 0, 0xFFFFFF));
}

// "1" and "True" (any case) read as true, "0" and "False" as false; anything else keeps the default.
bool readBool(const StoredValues& stored, const QString& key, bool fallback) {
    const auto found = stored.constFind(key);
    if (found == stored.cend())
        return fallback;
    const QString text = found->trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    return ok ? value != 0 : fallback;
}
} // namespace

Settings LoadSettings(const QString& programFolder) {
    const StoredValues stored = SettingsStore::readAll(kSection);
    Settings s;
    s.TexColor = readColor(stored, QStringLiteral("TexColor"), s.TexColor);
    s.TagColor = readColor(stored, QStringLiteral("TagColor"), s.TagColor);
    s.ValColor = readColor(stored, QStringLiteral("ValColor"), s.ValColor);
    s.ComColor = readColor(stored, QStringLiteral("ComColor"), s.ComColor);
    s.UseColors = readBool(stored, QStringLiteral("UseColors"), s.UseColors);
    s.JavaCompiler = readString(stored, QStringLiteral("JavaCompiler"), s.JavaCompiler);
    s.DefaultNewLN = readString(stored, QStringLiteral("DefaultNewLN"), s.DefaultNewLN);
    s.DefaultFormat = readString(stored, QStringLiteral("DefaultFormat"), s.DefaultFormat);
    s.DefaultDir = readString(stored, QStringLiteral("DefaultDir"), programFolder);
    s.LastDir = readBool(stored, QStringLiteral("LastDir"), s.LastDir);
    // Read back so that the chosen skin is loaded at start-up and kept by later saves.
    s.SkinPath = readString(stored, QStringLiteral("SkinPath"), s.SkinPath);
    s.Indent = readString(stored, QStringLiteral("Indent"), s.Indent);
    s.Font = readString(stored, QStringLiteral("Font"), s.Font);
    s.FontSize = static_cast<int>(readNumber(stored, QStringLiteral("FontSize"), s.FontSize, 1, 32767));
    s.BGColor = readColor(stored, QStringLiteral("BGColor"), s.BGColor);
    s.ChosenColors =
        static_cast<int>(readNumber(stored, QStringLiteral("ChosenColors"), s.ChosenColors, 0, 31));
    s.DoOnOpen = static_cast<int>(readNumber(stored, QStringLiteral("DoOnOpen"), s.DoOnOpen, 0, 6));
    s.CheckHtml5 = readBool(stored, QStringLiteral("CheckHtml5"), s.CheckHtml5);
    s.CheckAccessibility = readBool(stored, QStringLiteral("CheckAccessibility"), s.CheckAccessibility);
    s.LineNumbers = readBool(stored, QStringLiteral("LineNumbers"), s.LineNumbers);
    s.HighlightLine = readBool(stored, QStringLiteral("HighlightLine"), s.HighlightLine);
    s.TabWidth = static_cast<int>(readNumber(stored, QStringLiteral("TabWidth"), s.TabWidth, 1, 16));
    s.Zoom = static_cast<int>(readNumber(stored, QStringLiteral("Zoom"), s.Zoom, kMinZoom, kMaxZoom));
    s.AutoIndent = readBool(stored, QStringLiteral("AutoIndent"), s.AutoIndent);
    s.CloseTags = readBool(stored, QStringLiteral("CloseTags"), s.CloseTags);
    s.RestoreSession = readBool(stored, QStringLiteral("RestoreSession"), s.RestoreSession);
    s.FindRegex = readBool(stored, QStringLiteral("FindRegex"), s.FindRegex);
    s.FindWholeWord = readBool(stored, QStringLiteral("FindWholeWord"), s.FindWholeWord);
    s.SpellCheck = readBool(stored, QStringLiteral("SpellCheck"), s.SpellCheck);
    s.SpellLanguage = readString(stored, QStringLiteral("SpellLanguage"), s.SpellLanguage);
    s.SpellComments = readBool(stored, QStringLiteral("SpellComments"), s.SpellComments);

    if (!PathExists(s.JavaCompiler))
        s.JavaCompiler.clear();
    if (!PathExists(s.DefaultDir))
        s.DefaultDir = programFolder + QDir::separator();
    return s;
}

void SaveSettings(const Settings& s) {
    QList<std::pair<QString, QString>> values;
    const auto write = [&values](const char* key, const QString& value) {
        values.append({QString::fromLatin1(key), value});
    };
    const auto flag = [](bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); };
    write("TexColor", QString::number(s.TexColor));
    write("TagColor", QString::number(s.TagColor));
    write("ValColor", QString::number(s.ValColor));
    write("ComColor", QString::number(s.ComColor));
    write("UseColors", flag(s.UseColors));
    write("JavaCompiler", s.JavaCompiler);
    write("DefaultNewLN", s.DefaultNewLN);
    write("DefaultFormat", s.DefaultFormat);
    write("DefaultDir", s.DefaultDir);
    write("LastDir", flag(s.LastDir));
    write("SkinPath", s.SkinPath);
    write("Indent", s.Indent);
    write("Font", s.Font);
    write("FontSize", QString::number(s.FontSize));
    write("BGColor", QString::number(s.BGColor));
    write("ChosenColors", QString::number(s.ChosenColors));
    write("DoOnOpen", QString::number(s.DoOnOpen));
    write("CheckHtml5", flag(s.CheckHtml5));
    write("CheckAccessibility", flag(s.CheckAccessibility));
    write("LineNumbers", flag(s.LineNumbers));
    write("HighlightLine", flag(s.HighlightLine));
    write("TabWidth", QString::number(s.TabWidth));
    write("Zoom", QString::number(s.Zoom));
    write("AutoIndent", flag(s.AutoIndent));
    write("CloseTags", flag(s.CloseTags));
    write("RestoreSession", flag(s.RestoreSession));
    write("FindRegex", flag(s.FindRegex));
    write("FindWholeWord", flag(s.FindWholeWord));
    write("SpellCheck", flag(s.SpellCheck));
    write("SpellLanguage", s.SpellLanguage);
    write("SpellComments", flag(s.SpellComments));
    SettingsStore::writeAll(kSection, values);
}

QString DialogStartFolder(const QString& defaultDir, const QString& programFolder) {
    if (QDir::cleanPath(defaultDir) != QDir::cleanPath(programFolder))
        return defaultDir;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && IsFolder(documents) ? documents : QDir::homePath();
}
