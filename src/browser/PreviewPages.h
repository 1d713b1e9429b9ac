#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>
#include <map>
#include <optional>

// Whether `path` is `folder` or lies below it, both taken with their links resolved (a link in
// the folder that leads out of it leads out of the tree).
bool InFolderTree(const QString& path, const QString& folder);
// Whether a part of `path` beyond the folders it shares with `folder` starts with "." (a hidden
// file or folder: keys, settings, version control), links resolved.
bool HiddenBeyond(const QString& path, const QString& folder);
// File kinds a page may take from outside its folder tree in its own origin: style sheets, whose
// fonts and pictures then resolve beside them, and fonts, which a script cannot read back.
bool IsStyleSheetFile(const QString& path);
bool IsFontFile(const QString& path);

// Local pages as the browser windows show them: "quillora-preview://p<id>/<absolute path>". Each
// id stands for a folder tree: the folder of a file shown (one id per folder) or of a document
// followed as it is typed (its text is served from memory, under its path). A page reads what lies
// in its tree; from outside it, only what its tags load (style sheets, pictures, scripts, fonts,
// media), and those, except style sheets and fonts, as files of another origin whose contents no
// script can read. Nothing in a hidden folder is served, and nothing is written to disk.
class PreviewPages : public QWebEngineUrlSchemeHandler {
public:
    // The path a followed document is shown under and its bytes, asked for only when requested.
    struct Source {
        std::function<QString()> path;
        std::function<QByteArray()> bytes;
    };
    struct Page {
        QString path;
        QByteArray bytes;
    };
    // What a request for a preview address gets.
    struct Reply {
        enum Kind { Refused, Bytes, File };
        Kind kind = Refused;
        QByteArray bytes;
        QByteArray contentType;
        QUrl file; // for File: the file address to load instead
    };

    static const char* const kScheme;
    static PreviewPages& instance();
    // Makes the scheme known to the engine; only effective before the engine starts.
    static void registerScheme();

    // The unsaved text of the open document saved under `path`, if one is.
    using OpenText = std::function<std::optional<QString>(const QString& path)>;
    // Followed documents' pages take the files they use (style sheets, scripts, their own pages)
    // from `lookup` where a document holding one is open, so they show what is being typed there.
    void setOpenText(OpenText lookup) { m_openText = std::move(lookup); }

    // Serves the source's page under the id returned, until removed.
    int add(Source source);
    void remove(int id);
    // The id whose pages show the files of `folder`, made on first use.
    int folderPages(const QString& folder);
    static QUrl urlFor(int id, const QString& path);
    // The type a followed document's text under `path` is served as: "text/html" for pages and
    // the editor's other kinds, a style sheet, text, XML or a picture's as itself.
    static QByteArray followedContentType(const QString& path);
    // The preview address that shows the local file `fileUrl` stands for, with its query and
    // fragment; an empty address for anything that is no local file.
    QUrl pageFor(const QUrl& fileUrl);
    // The file or folder a file or preview address stands for; "" for any other address.
    static QString localPath(const QUrl& url);
    // The folder tree the pages of a preview address may read; "" for an unknown id.
    QString treeOf(const QUrl& url) const;

    // The answer to a request for `url`; `corsMode` when the engine asked as for a resource that
    // must be readable to be used (fonts, pictures marked crossorigin).
    Reply answer(const QUrl& url, bool corsMode);
    // The bytes of a preview address's page itself (the followed text, or a file of the tree).
    std::optional<Page> contents(const QUrl& url);
    // The files the followed page of `id` used since it was last served, and the followed page
    // that last used `path` ("" when none did).
    QSet<QString> resourcesOf(int id) const { return m_resources.value(id); }
    QString pageUsing(const QString& path) const { return m_pageUsing.value(QDir::cleanPath(path)); }
    // Whether a file address is one this handler sent a tag's resource to; each is good once.
    bool takeFileTicket(const QUrl& fileUrl);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    PreviewPages() = default;
    // The followed document's path for `id`, or "" when the id is a folder's.
    QString sourcePath(int id) const;
    QUrl fileWithTicket(const QString& path);

    std::map<int, Source> m_sources;
    std::map<int, QString> m_folders; // id -> folder
    QHash<QString, int> m_folderIds;
    QHash<QString, QString> m_tickets; // ticket -> path
    OpenText m_openText;
    QHash<int, QSet<QString>> m_resources; // followed page id -> files it used
    QHash<QString, QString> m_pageUsing;   // file -> the followed page that used it last
    int m_next = 1;
};
