#pragma once

#include <QString>

// True when the file system reports the path (file or folder); "" and any error give false.
bool PathExists(const QString& path);
// True when the path exists and is a folder.
bool IsFolder(const QString& path);
// The last component of a path ("a.htm" for "/x/a.htm").
QString FileNameOf(const QString& path);
