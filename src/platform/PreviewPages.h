#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>
#include <map>
#include <optional>

// Pages the engine reads from memory: "quillora-preview://p<id>/<absolute path>". The path of a
// registered source is served from the source (text that is not saved yet); every other path is
// the file on disk, so relative links, pictures and style sheets resolve as they do beside the
// file. Nothing is ever written to disk for a preview.
class PreviewPages : public QWebEngineUrlSchemeHandler {
public:
    struct Page {
        QString path;
        QByteArray bytes;
    };
    // The path a source serves and its bytes, asked for only when that path is requested.
    struct Source {
        std::function<QString()> path;
        std::function<QByteArray()> bytes;
    };

    static const char* const kScheme;
    static PreviewPages& instance();
    // Makes the scheme known to the engine; only effective before the engine starts.
    static void registerScheme();

    // Serves the source's page under the id returned, until removed.
    int add(Source source);
    void remove(int id);
    static QUrl urlFor(int id, const QString& path);
    // The file a file or preview address stands for; "" for any other address.
    static QString localPath(const QUrl& url);
    // What the engine gets for a preview address: the bytes and their content type; nothing for an
    // unknown id or a path that is no readable file.
    std::optional<Page> contents(const QUrl& url, QByteArray* contentType = nullptr) const;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    PreviewPages() = default;
    std::map<int, Source> m_sources;
    int m_next = 1;
};
