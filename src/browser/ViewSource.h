#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include "markup/PageNames.h"

class QNetworkReply;

// Writes `bytes` to `path` through a new file in the same folder renamed over it: a link planted at
// `path` is replaced, not followed, and `path` never holds half a file. False when it failed.
bool ReplaceFile(const QString& path, const QByteArray& bytes);

// Fetches the source of the page at `url` into the file `target` in the background: local pages
// from disk (or the unsaved text of a preview), http and https from the network unless offline.
// Gives up after `timeoutMs`. `finished` comes once: true after the file is written and closed.
// Deleting the object cancels the fetch, and nothing is reported.
class SourceDownload : public QObject {
    Q_OBJECT
public:
    SourceDownload(const QUrl& url, QString target, bool offline, int timeoutMs, QObject* parent);

signals:
    void finished(bool ok);

private:
    void start();
    void done(bool ok, const QByteArray& bytes = {});

    QUrl m_url;
    QString m_target;
    bool m_offline;
    QTimer m_limit;
    QNetworkReply* m_reply = nullptr;
    bool m_done = false;
};
