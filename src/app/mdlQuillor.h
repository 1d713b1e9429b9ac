#pragma once

#include <QString>
#include <QStringList>

// The program folder: the user's own Quillora data folder, where the template, the command
// list and the other data files live.
QString ProgramFolder();

// Copies every data file the program ships that is missing from the program folder (what an
// installer would have put there). Existing files are never touched.
void SeedDataFiles(const QString& programFolder);
// Creates whatever data file or folder is still missing, empty. Failures are passed over.
void EnsureDataFiles(const QString& programFolder);
// The data files and folders, in the order they are checked ("/temp/" is a folder).
QStringList DataFileNames();

// The completion word list: element 0 empty, then each non-blank line of "commands.txt" as read.
QStringList ReadCommandWords(const QString& programFolder);
// Absolute paths for the command line's arguments, in order.
QStringList AbsolutePaths(const QStringList& arguments);
