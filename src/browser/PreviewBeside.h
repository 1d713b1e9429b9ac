#pragma once

#include "markup/SourceMap.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class BrowserControl;
class DocumentHost;
class EditableDocument;
class QJsonArray;
class QLabel;
class frmNotepad;

// A preview of a document window's page beside its text. It shows the unsaved text as it is
// typed (style sheets and scripts open in other windows too): on a page without scripts, by
// changing the element around the edit in the page shown, else by loading the page again. It
// outlines the element around the cursor, and Ctrl+click on an element puts the cursor at its
// start tag. The page is served with each start tag carrying its offset in the text; that copy
// goes to this preview alone.
class PreviewBeside : public QWidget {
    Q_OBJECT
public:
    // `pagePath`: the page shown. With `mapsText` it is the document's own page, served from its
    // text; without, a page that uses the document (a style sheet, a script), which maps to nothing.
    PreviewBeside(DocumentHost& host, frmNotepad& window, const QString& pagePath, bool mapsText);
    ~PreviewBeside() override;

    BrowserControl* webPreview = nullptr;
    // What the preview says of itself: that a large page follows saves only, or why it shows nothing.
    QLabel* lblPreviewStatus = nullptr;

    QString pagePath() const { return m_pagePath; }
    // Whether the page is the document's own, mapped to its text.
    bool mapsText() const { return m_mapsText; }
    bool followsTyping() const { return m_followsTyping; }
    // The outline's place in the page (CSS pixels of the page, scrolled), when one is shown.
    std::optional<QRectF> outlineRect() const { return m_outline; }

    // How long typing pauses before the preview follows: only long enough to take a burst (a paste,
    // a repeated key) as one change, since a page still loading is let finish anyway.
    static constexpr int kFollowDelayMs = 10;
    // Pages longer than this (characters) follow saves only: the engine takes longer to read them
    // again than a pause in typing lasts, so the page would lag ever further behind the text.
    static constexpr int kFollowTypingLimit = 256 * 1024;
    // A page that is still loading is let finish before the next copy is shown (restarting it at
    // every key would show nothing while a person types steadily), unless it takes longer than this.
    static constexpr int kLoadPatienceMs = 3000;
    // Pages longer than this are prepared for serving off the interface thread.
    static constexpr int kBackgroundLimit = 256 * 1024;

    // Loads the text as it stands now (after a save, a used file's change).
    void refresh();
    // Outlines the element around the cursor and scrolls it into view.
    void showCursor();
    // What Ctrl+click does at `at` (the view's pixels): the cursor goes to that element's start tag.
    void jumpToElementAt(QPointF at);

signals:
    // A page was shown (after a refresh), and the outline was placed (or removed) for the cursor.
    void pageShown(bool ok);
    void outlineShown();
    // The cursor was put at a start tag from the page.
    void cursorJumped(int offset);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a pause in typing: the edit is shown by changing the page in place where it can be,
    // else the page is loaded again.
    void followTyping();
    void show(bool mayPatch);
    // Changes the page shown to show `text`, where replacing one element's contents, or the element,
    // can; false when neither can (nothing was sent to the page then).
    bool patch(const QString& text);
    // Where the edit touches markup: the element around it is replaced by the page's new reading.
    bool replaceElement(const QString& text, const ChangedStretch& change);
    void runPatch(const char* script, const QJsonArray& arguments, const QString& text);
    void patched(bool ok);
    // Shows `bytes`, the copy served of `text` (empty when the page is not mapped to the text).
    void serve(const QByteArray& bytes, QString text);
    // What the engine gets when it asks for the page.
    QByteArray servedBytes();
    void pageLoaded(bool ok);
    // Reloads when a file the page used changes in another document window.
    void watchResources();
    void watchView();
    void setFollowsTyping(bool follows);
    // The start tags of the elements around the cursor, innermost first.
    QList<int> elementsAtCursor() const;
    void placeOutline(bool scroll);
    // What changed in the text since the copy the page shows was served, or null when the page
    // shows no copy of it.
    const ChangedStretch* changedSinceShown();

    DocumentHost& m_host;
    QPointer<frmNotepad> m_window;
    QString m_pagePath;
    bool m_mapsText = true;
    bool m_followsTyping = true;
    int m_previewId = 0;
    QByteArray m_served;
    QString m_servedText; // when the page was changed in place: the text m_served is made of on request
    bool m_shownOnce = false;
    int m_generation = 0;   // of the copy being prepared: a newer one makes older ones moot
    bool m_loading = false; // a copy is being loaded
    QElapsedTimer m_loadClock;
    bool m_refreshAfterLoad = false;
    bool m_reloadAfterLoad = false; // and it loads the page again (a used file changed, or a save)
    bool m_patching = false;        // the page is being changed in place
    // The change under way replaces an element's contents: refused, the element is read again.
    bool m_replaceWhenRefused = false;
    bool m_resourcesChanged = false; // a file the page uses changed in another window
    // Whether the page loading, and the one shown, have no scripts that could change them.
    bool m_loadingStaysAsWritten = false, m_staysAsWritten = false;
    // The text as the copy being loaded and the one shown were served: the page names start tags by
    // their offsets in it, carried to and from the text as it is now through what changed since.
    QString m_loadingText, m_shownText;
    bool m_showsText = false;
    std::optional<ChangedStretch> m_changedSinceShown; // worked out when first needed after a change
    QTimer m_followTimer;
    QTimer m_cursorTimer;
    QList<QMetaObject::Connection> m_resourceWatches;
    QPointer<QWidget> m_watchedView;
    std::optional<QRectF> m_outline;
    // Gone with the preview's members, before the engine's page answers the scripts left pending.
    const std::shared_ptr<const int> m_alive = std::make_shared<const int>(0);
};

// Preview Beside of the document window: shows the preview beside the text, or closes it. A style
// sheet or a script gets the page that last used it; the user is told when none has.
void TogglePreviewBeside(DocumentHost& host, frmNotepad& window);
// Shows or closes it as a session says (the divider at `textShare` of the width, 0 for half).
void ShowPreviewBeside(DocumentHost& host, frmNotepad& window, bool shown, double textShare = 0);
// The preview beside a document window, null when none is shown.
PreviewBeside* PreviewBesideOf(const frmNotepad& window);

// Followed pages take open documents' unsaved text (see PreviewPages::setOpenText) from `host`'s
// document windows, for as long as `owner` lives.
void ServeOpenDocuments(DocumentHost& host, QObject* owner);
