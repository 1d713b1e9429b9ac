#include "browser/ViewSource.h"

#include "browser/PreviewPages.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>
#include <cstdio>

bool ReplaceFile(const QString& path, const QByteArray& bytes) {
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.source-XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    // Readable as the user's other files are, not private as a temporary file starts.
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // rename() replaces whatever is at the path, a link included, in one step.
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

SourceDownload::SourceDownload(const QUrl& url, QString target, bool offline, int timeoutMs, QObject* parent)
    : QObject(parent), m_url(url), m_target(std::move(target)), m_offline(offline) {
    m_limit.setSingleShot(true);
    m_limit.setInterval(timeoutMs);
    connect(&m_limit, &QTimer::timeout, this, [this] { done(false); });
    // Started from the event loop, so that the caller is connected before anything is reported.
    QTimer::singleShot(0, this, &SourceDownload::start);
}

void SourceDownload::start() {
    m_limit.start();
    const QString scheme = m_url.scheme().toLower();
    if (m_url.isLocalFile() || scheme == QLatin1String(PreviewPages::kScheme)) {
        QByteArray bytes;
        bool read = false;
        if (m_url.isLocalFile()) {
            QString reason;
            read = ReadRegularFile(m_url.toLocalFile(), kMaxTextFileBytes, bytes, reason);
        } else if (const auto page = PreviewPages::instance().contents(m_url)) {
            read = true;
            bytes = page->bytes;
        }
        done(read, bytes);
        return;
    }
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || m_offline) {
        done(false);
        return;
    }
    auto* network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_url);
    request.setTransferTimeout(static_cast<int>(m_limit.interval()));
    m_reply = network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxTextFileBytes)
            done(false);
    });
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        const bool ok = m_reply->error() == QNetworkReply::NoError;
        done(ok, ok ? m_reply->readAll() : QByteArray());
    });
}

void SourceDownload::done(bool ok, const QByteArray& bytes) {
    if (m_done)
        return;
    m_done = true;
    m_limit.stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    emit finished(ok && ReplaceFile(m_target, bytes));
}

#include "moc_ViewSource.cpp"
