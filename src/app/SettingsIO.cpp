#include "app/SettingsIO.h"

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QStandardPaths>

namespace {
const QString kSection = QStringLiteral("Settings");

QString readString(const QString& key, const QString& fallback) {
    return SettingsStore::read(kSection, key, fallback);
}

// Numbers are stored as decimal text; text that is not a number keeps the default.
long long readNumber(const QString& key, long long fallback, long long low, long long high) {
    if (!SettingsStore::contains(kSection, key))
        return fallback;
    bool ok = false;
    const long long value = SettingsStore::read(kSection, key).trimmed().toLongLong(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

ColorValue readColor(const QString& key, ColorValue fallback) {
    return static_cast<ColorValue>(readNumber(key, fallback, 0, 0xFFFFFF));
}

// "1" and "True" (any case) read as true, "0" and "False" as false; anything else keeps the default.
bool readBool(const QString& key, bool fallback) {
    if (!SettingsStore::contains(kSection, key))
        return fallback;
    const QString text = SettingsStore::read(kSection, key).trimmed();
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
    Settings s;
    s.TexColor = readColor(QStringLiteral("TexColor"), s.TexColor);
    s.TagColor = readColor(QStringLiteral("TagColor"), s.TagColor);
    s.ValColor = readColor(QStringLiteral("ValColor"), s.ValColor);
    s.ComColor = readColor(QStringLiteral("ComColor"), s.ComColor);
    s.UseColors = readBool(QStringLiteral("UseColors"), s.UseColors);
    s.JavaCompiler = readString(QStringLiteral("JavaCompiler"), s.JavaCompiler);
    s.DefaultNewLN = readString(QStringLiteral("DefaultNewLN"), s.DefaultNewLN);
    s.DefaultFormat = readString(QStringLiteral("DefaultFormat"), s.DefaultFormat);
    s.DefaultDir = readString(QStringLiteral("DefaultDir"), programFolder);
    s.LastDir = readBool(QStringLiteral("LastDir"), s.LastDir);
    // Read back so that the chosen skin is loaded at start-up and kept by later saves.
    s.SkinPath = readString(QStringLiteral("SkinPath"), s.SkinPath);
    s.Indent = readString(QStringLiteral("Indent"), s.Indent);
    s.Font = readString(QStringLiteral("Font"), s.Font);
    s.FontSize = static_cast<int>(readNumber(QStringLiteral("FontSize"), s.FontSize, 1, 32767));
    s.BGColor = readColor(QStringLiteral("BGColor"), s.BGColor);
    s.ChosenColors = static_cast<int>(readNumber(QStringLiteral("ChosenColors"), s.ChosenColors, 0, 31));
    s.DoOnOpen = static_cast<int>(readNumber(QStringLiteral("DoOnOpen"), s.DoOnOpen, 0, 6));
    s.CheckHtml5 = readBool(QStringLiteral("CheckHtml5"), s.CheckHtml5);
    s.CheckAccessibility = readBool(QStringLiteral("CheckAccessibility"), s.CheckAccessibility);
    s.LineNumbers = readBool(QStringLiteral("LineNumbers"), s.LineNumbers);
    s.HighlightLine = readBool(QStringLiteral("HighlightLine"), s.HighlightLine);
    s.TabWidth = static_cast<int>(readNumber(QStringLiteral("TabWidth"), s.TabWidth, 1, 16));
    s.Zoom = static_cast<int>(readNumber(QStringLiteral("Zoom"), s.Zoom, kMinZoom, kMaxZoom));
    s.AutoIndent = readBool(QStringLiteral("AutoIndent"), s.AutoIndent);
    s.CloseTags = readBool(QStringLiteral("CloseTags"), s.CloseTags);
    s.RestoreSession = readBool(QStringLiteral("RestoreSession"), s.RestoreSession);
    s.FindRegex = readBool(QStringLiteral("FindRegex"), s.FindRegex);
    s.FindWholeWord = readBool(QStringLiteral("FindWholeWord"), s.FindWholeWord);
    s.SpellCheck = readBool(QStringLiteral("SpellCheck"), s.SpellCheck);
    s.SpellLanguage = readString(QStringLiteral("SpellLanguage"), s.SpellLanguage);
    s.SpellComments = readBool(QStringLiteral("SpellComments"), s.SpellComments);

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
