#pragma once

#include "platform/TextFile.h"

#include <QObject>
#include <QTimer>

class frmNotepad;

// Watches the file of one document window for changes made by other programs. A change to the
// file of an unmodified document asks whether to reload it; of a modified one, the same with a
// warning, "No" being the default. A deleted file marks the document modified, so closing asks
// to save it. The program's own writes are recorded through track() and never ask.
// Events come in bursts (a save is a write, a rename and a delete): the file is looked at once
// they have been quiet for a moment, and never while another question is open.
class FileWatch : public QObject {
    Q_OBJECT
public:
    // The watch of the window, made on first use as the window's child.
    static FileWatch& of(frmNotepad& window);
    ~FileWatch() override;

    // The document now holds what the file at `path` held when `stamp` was taken: it was opened,
    // saved or reloaded.
    void track(const QString& path, const FileStamp& stamp);
    // Before the document is written to `path`: when that is the watched file and another program
    // has changed it since, asks whether to overwrite it. False when the answer is no.
    bool confirmOverwrite(const QString& path);
    // Whether `path` is the watched file, and a symbolic link now where it was none when it was
    // opened or saved: another user may have put a link to one of this user's files there.
    bool replacedByLink(const QString& path) const;
    // Whether `path` is the watched file and now names another file than the one opened or saved
    // (replaced by another program, or by another user's hard link to one of this user's files).
    bool replacedByOtherFile(const QString& path) const;
    // Whether the watched file was reached through a symbolic link when it was opened or saved.
    bool wasLink(const QString& path) const;

    const QString& path() const { return m_path; }
    // How long the events must be quiet before the file is looked at.
    static constexpr int kQuietMs = 200;

private:
    explicit FileWatch(frmNotepad& window);
    // Watches the file and its folder; an atomic replacement drops the watch on the file.
    void arm();
    void release();
    void check();

    frmNotepad& m_window;
    QString m_path;
    FileStamp m_known;
    FileStamp m_declined; // the change the user chose not to reload
    bool m_missing = false;
    QTimer m_quiet;
};
