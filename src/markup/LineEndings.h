#pragma once

#include <QString>
#include <optional>

// The line-break format a document is written in: DOS (CR LF), UNIX (LF) or MAC (CR).
enum class SaveFormat { Dos, Unix, Mac };

// Every CR LF pair stays; every other CR and every other LF becomes one CR LF
// (so LF CR becomes two breaks).
QString NormalizeToCrLf(const QString& text);
// The same, made in the text's own memory when no one else holds it: a file just read is not
// copied once more (for a large page, one more block of its size, touched page by page).
QString NormalizeToCrLf(QString&& text);
// Text on its way into a document from any source (a paste, a dialog, a command): every break
// CR LF, and the characters the text control keeps for itself hidden as a read file has them
// (see HideReservedCharacters), so what is recorded for Undo is what the document holds.
QString TextForDocument(const QString& text);
// Every CR LF, then every remaining LF, becomes CR.
QString ConvertToCr(const QString& text);
// Every CR LF, then every remaining CR, becomes LF.
QString ConvertToLf(const QString& text);
// The text in the given save format (DOS normalises, MAC and UNIX convert).
QString ConvertForSave(const QString& text, SaveFormat format);

// The format a freshly read file is saved in, judged by its breaks, first match wins:
// any CR LF gives DOS, else any LF gives UNIX, else any CR gives MAC; none gives nothing.
std::optional<SaveFormat> DetectLineBreaks(const QString& text);
