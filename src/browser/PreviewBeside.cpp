#include "browser/PreviewBeside.h"

#include "browser/BrowserControl.h"
#include "browser/PreviewPages.h"
#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/frmNotepad.h"
#include "markup/SourceMap.h"
#include "markup/TagMatch.h"
#include "platform/Dialogs.h"
#include "platform/Log.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMouseEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtConcurrent>

namespace {

// The open document saved as `path`, if there is one.
EditableDocument* openDocument(DocumentHost& host, const QString& path) {
    const DocumentTable& table = host.documents();
    const QString wanted = QDir::cleanPath(path);
    for (int slot = 0; slot < table.slotCount(); ++slot)
        if (!table.DocumentSlots[slot].Free && !table.DocumentSlots[slot].PathCaption.isEmpty() &&
            QDir::cleanPath(table.DocumentSlots[slot].PathCaption) == wanted)
            return table.editable(slot);
    return nullptr;
}

std::optional<QString> openDocumentText(DocumentHost& host, const QString& path) {
    if (const EditableDocument* document = openDocument(host, path))
        return document->text().text();
    return std::nullopt;
}

// Runs in the page's isolated world (the page's own scripts neither see nor change it): outlines
// the first of the elements whose start tags are at %1 (innermost first) that has a box, with an
// element of its own laid over the page (absolutely placed, taking no clicks: the page's layout
// stays as it is), scrolls it into view when %2, and gives the outline's place.
const char* const kOutlineScript = R"((function (starts, scroll) {
  var outline = document.querySelector('quillora-outline');
  var target = null;
  for (var i = 0; i < starts.length && !target; ++i) {
    var found = document.querySelector('[data-quillora-at="' + starts[i] + '"]');
    if (found && found.getClientRects().length)
      target = found;
  }
  if (!target) {
    if (outline) outline.remove();
    return null;
  }
  if (!outline) {
    outline = document.createElement('quillora-outline');
    document.documentElement.appendChild(outline);
  }
  if (scroll) target.scrollIntoView({block: 'nearest', inline: 'nearest'});
  var box = target.getBoundingClientRect();
  var left = box.left + window.scrollX, top = box.top + window.scrollY;
  outline.setAttribute('style', 'all: initial !important; position: absolute !important;' +
    'pointer-events: none !important; z-index: 2147483647 !important; box-sizing: border-box !important;' +
    'outline: 2px solid rgba(30, 120, 230, 0.9) !important; background: rgba(30, 120, 230, 0.08) !important;' +
    'left: ' + left + 'px !important; top: ' + top + 'px !important;' +
    'width: ' + box.width + 'px !important; height: ' + box.height + 'px !important;');
  return [left, top, box.width, box.height];
})([%1], %2))";

// The start tag's offset of the element at a point of the page (CSS pixels of the viewport), or -1.
const char* const kElementAtScript = R"((function (x, y) {
  var element = document.elementFromPoint(x, y);
  while (element && !(element.hasAttribute && element.hasAttribute('data-quillora-at')))
    element = element.parentElement;
  return element ? Number(element.getAttribute('data-quillora-at')) : -1;
})(%1, %2))";

// Goes before the scripts that change the page in place, in the page's isolated world: the offsets
// the elements carry at or after `from` move by `by`, as the text after an edit did.
const char* const kMoveOffsetsScript = R"(function quilloraMoveOffsets(from, by) {
  if (by === 0)
    return;
  var all = document.querySelectorAll('[data-quillora-at]');
  for (var k = 0; k < all.length; ++k) {
    var offset = Number(all[k].getAttribute('data-quillora-at'));
    if (offset >= from)
      all[k].setAttribute('data-quillora-at', String(offset + by));
  }
}
)";

// Runs in the page's isolated world: shows an edit by replacing the contents of the element whose
// start tag is at `at`, where the page holds it as its markup reads (it holds the elements whose
// start tags are at `before`, no more), and moves the offsets the elements after the edit carry.
// True when the element now holds the elements at `after` as the text reads; false when it does not
// hold them as the tags read (before or after), and the element must be read again.
const char* const kPatchScript = R"((function (at, before, contents, from, by, after) {
  var name = 'data-quillora-at';
  var found = document.querySelectorAll('[' + name + '="' + at + '"]');
  if (found.length !== 1)
    return false;
  var element = found[0];
  function holds(expected) {
    var inside = element.querySelectorAll('[' + name + ']');
    if (inside.length !== expected.length)
      return false;
    for (var i = 0; i < inside.length; ++i)
      if (Number(inside[i].getAttribute(name)) !== expected[i])
        return false;
    return true;
  }
  if (!holds(before))
    return false;
  quilloraMoveOffsets(from, by);
  element.innerHTML = contents;
  return holds(after);
}).apply(null, %1))";

// Runs in the page's isolated world: shows an edit of the markup by reading the page's new copy
// (`copy`) apart and putting its element at one of `starts` (the start tags around the edit,
// innermost first) in place of the page's: the first after which the page, its offsets at or after
// `from` moved by `by`, reads as the new copy does. False when none does: the page must then be
// loaded again (it may have been changed in part).
const char* const kReplaceScript = R"((function (copy, starts, from, by) {
  var name = 'data-quillora-at';
  var fresh = new DOMParser().parseFromString(copy, 'text/html');
  var wanted = fresh.documentElement.outerHTML;
  var outline = document.querySelector('quillora-outline');
  if (outline)
    outline.remove();
  quilloraMoveOffsets(from, by);
  for (var k = 0; k < starts.length; ++k) {
    var shown = document.querySelectorAll('[' + name + '="' + starts[k] + '"]');
    var made = fresh.querySelectorAll('[' + name + '="' + starts[k] + '"]');
    if (shown.length !== 1 || made.length !== 1 || shown[0] === document.documentElement)
      continue;
    shown[0].replaceWith(document.importNode(made[0], true));
    if (document.documentElement.outerHTML === wanted)
      return true;
  }
  return false;
}).apply(null, %1))";

// Offsets as the scripts above take them.
QJsonArray jsonNumbers(const std::vector<int>& offsets) {
    QJsonArray list;
    for (const int offset : offsets)
        list.append(offset);
    return list;
}

// Where an untitled document's page is served from: a folder that holds nothing, so that the page
// reads no other file.
QString untitledPagePath(DocumentHost& host, const frmNotepad& window) {
    return host.programFolder() + QStringLiteral("/temp/beside/Untitled %1.htm").arg(window.slot());
}

} // namespace

PreviewBeside::PreviewBeside(DocumentHost& host, frmNotepad& window, const QString& pagePath, bool mapsText)
    : m_host(host), m_window(&window), m_pagePath(pagePath), m_mapsText(mapsText) {
    setObjectName(QStringLiteral("PreviewBeside"));
    setAccessibleName(QCoreApplication::translate("PreviewBeside", "Preview"));
    setAccessibleDescription(QCoreApplication::translate(
        "PreviewBeside", "The page as a browser shows it, following the text beside it."));
    webPreview = new BrowserControl(this);
    webPreview->setObjectName(QStringLiteral("webPreview"));
    webPreview->setAccessibleName(QCoreApplication::translate("PreviewBeside", "Preview of the page"));
    // Pages reloaded as the text is typed would repeat their messages at every pause.
    webPreview->setMessagesShown(false);
    lblPreviewStatus = new QLabel(this);
    lblPreviewStatus->setObjectName(QStringLiteral("lblPreviewStatus"));
    lblPreviewStatus->setWordWrap(true);
    lblPreviewStatus->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(webPreview, 1);
    column->addWidget(lblPreviewStatus);
    setFocusProxy(webPreview);

    m_previewId =
        PreviewPages::instance().add({[this] { return m_pagePath; }, [this] { return servedBytes(); }});
    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(kFollowDelayMs);
    connect(&m_followTimer, &QTimer::timeout, this, &PreviewBeside::followTyping);
    m_cursorTimer.setSingleShot(true);
    m_cursorTimer.setInterval(0);
    connect(&m_cursorTimer, &QTimer::timeout, this, &PreviewBeside::showCursor);
    connect(webPreview, &BrowserControl::DocumentComplete, this,
            [this](const QUrl&, bool ok) { pageLoaded(ok); });

    EditableDocument& document = window.editable();
    connect(&document, &EditableDocument::changed, this, [this] {
        if (m_mapsText && m_followsTyping)
            m_followTimer.start();
    });
    connect(&document, &EditableDocument::saved, this, [this] {
        // A first save or Save As gives the page its new place (and its folder's files).
        if (m_mapsText && m_window)
            m_pagePath = m_window->editable().savedPath();
        refresh();
    });
    if (m_mapsText) {
        connect(window.txtRich, &QPlainTextEdit::cursorPositionChanged, &m_cursorTimer,
                qOverload<>(&QTimer::start));
        connect(window.txtRich, &RichTextControl::changedAt, this, [this] { m_changedSinceShown.reset(); });
    }
    refresh();
}

PreviewBeside::~PreviewBeside() {
    PreviewPages::instance().remove(m_previewId);
}

void PreviewBeside::setFollowsTyping(bool follows) {
    m_followsTyping = follows;
    lblPreviewStatus->setText(follows ? QString()
                                      : tr("This page is large: the preview follows it when it is saved."));
    lblPreviewStatus->setVisible(!follows);
}

void PreviewBeside::refresh() {
    show(false);
}

void PreviewBeside::followTyping() {
    show(!m_resourcesChanged);
}

void PreviewBeside::show(bool mayPatch) {
    m_followTimer.stop();
    if (!m_window)
        return;
    if (m_patching || (m_loading && m_loadClock.elapsed() < kLoadPatienceMs)) {
        m_refreshAfterLoad = true;
        m_reloadAfterLoad = m_reloadAfterLoad || !mayPatch;
        return;
    }
    m_refreshAfterLoad = false;
    m_reloadAfterLoad = false;
    const int generation = ++m_generation;
    if (!m_mapsText) {
        // A page that uses this document: its own text where it is open, else its file.
        std::optional<QString> page = openDocumentText(m_host, m_pagePath);
        if (!page) {
            LoadedText loaded;
            QString reason;
            if (readTextFile(m_pagePath, loaded, reason))
                page = loaded.text;
            else
                qCWarning(lcQuillora) << "preview page not read:" << m_pagePath << reason;
        }
        serve(page.value_or(QString()).toUtf8(), QString());
        return;
    }
    QString text = m_window->editable().text().text();
    setFollowsTyping(text.size() <= kFollowTypingLimit);
    if (mayPatch && patch(text))
        return;
    m_resourcesChanged = false;
    // Only a page read as HTML is mapped: text or XML shown as itself would show the offsets.
    if (PreviewPages::followedContentType(m_pagePath) != "text/html") {
        serve(text.toUtf8(), QString());
        return;
    }
    if (text.size() <= kBackgroundLimit) {
        serve(WithSourceOffsets(text).toUtf8(), text);
        return;
    }
    // A large page is prepared off the interface thread; typing meanwhile starts a newer copy.
    auto* watcher = new QFutureWatcher<QByteArray>(this);
    connect(watcher, &QFutureWatcher<QByteArray>::finished, this, [this, watcher, generation, text] {
        watcher->deleteLater();
        if (generation == m_generation)
            serve(watcher->result(), text);
    });
    watcher->setFuture(QtConcurrent::run([text] { return WithSourceOffsets(text).toUtf8(); }));
}

bool PreviewBeside::patch(const QString& text) {
    if (m_loading || !m_showsText || !m_staysAsWritten || !m_followsTyping)
        return false;
    const ChangedStretch change = ChangedStretchOf(m_shownText, text);
    const std::optional<ContentsPatch> patch = ContentsPatchOf(m_shownText, text, change);
    if (!patch)
        return replaceElement(text, change);
    const QJsonArray arguments{patch->elementAt, jsonNumbers(patch->tagsBefore),
                               patch->contents,  patch->movedFrom,
                               patch->movedBy,   jsonNumbers(patch->tagsAfter)};
    runPatch(kPatchScript, arguments, text);
    m_replaceWhenRefused = true;
    return true;
}

bool PreviewBeside::replaceElement(const QString& text, const ChangedStretch& change) {
    // The elements around the edit that hold it, and their parents, which the edit may have made
    // differ too ("<p>" typed in a paragraph ends it).
    constexpr int kLevels = 3;
    const std::vector<int> around = ElementsHoldingChange(text, change, kLevels);
    if (around.empty())
        return false;
    const int movedFrom = change.lengthBefore - change.commonEnd;
    runPatch(kReplaceScript,
             QJsonArray{WithSourceOffsets(text), jsonNumbers(around), movedFrom,
                        change.lengthAfter - change.lengthBefore},
             text);
    return true;
}

void PreviewBeside::runPatch(const char* script, const QJsonArray& arguments, const QString& text) {
    const QString call = QString::fromLatin1(kMoveOffsetsScript) +
                         QString::fromLatin1(script).arg(
                             QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)));
    m_patching = true;
    m_replaceWhenRefused = false;
    m_loadingText = text;
    const std::weak_ptr<const int> token = m_alive;
    PreviewBeside* const alive = this;
    webPreview->page()->runJavaScript(call, QWebEngineScript::ApplicationWorld,
                                      [token, alive](const QVariant& result) {
                                          if (!token.expired())
                                              alive->patched(result.toBool());
                                      });
}

void PreviewBeside::patched(bool ok) {
    // A load the page started itself (a link followed) ended the change: it shows no text now.
    if (!m_patching)
        return;
    m_patching = false;
    if (!ok && m_replaceWhenRefused) {
        // The element's contents are not what the tags read (misnested tags, implied ends): the
        // element around is read again, as an edit of markup is.
        const QString text = std::exchange(m_loadingText, QString());
        if (replaceElement(text, ChangedStretchOf(m_shownText, text)))
            return;
    }
    if (!ok) {
        // The page was not, or is no longer, what its markup reads: it is loaded again.
        qCDebug(lcQuillora) << "preview changed in place no more, loaded again:" << m_pagePath;
        m_loadingText = QString();
        show(false);
        return;
    }
    m_shownText = std::move(m_loadingText);
    m_loadingText = QString();
    m_changedSinceShown.reset();
    // Should the engine ask for the page again, it gets the text shown, its copy made then.
    m_served = QByteArray();
    m_servedText = m_shownText;
    if (m_refreshAfterLoad)
        show(!m_reloadAfterLoad);
    placeOutline(false);
    emit pageShown(true);
}

QByteArray PreviewBeside::servedBytes() {
    if (m_served.isNull() && !m_servedText.isNull()) {
        m_served = WithSourceOffsets(m_servedText).toUtf8();
        m_servedText = QString();
    }
    return m_served;
}

void PreviewBeside::serve(const QByteArray& bytes, QString text) {
    m_served = bytes;
    m_servedText = QString();
    m_loadingStaysAsWritten = !text.isNull() && text.size() <= kFollowTypingLimit && PageStaysAsWritten(text);
    m_loadingText = std::move(text);
    m_loading = true;
    m_loadClock.start();
    const QUrl url = PreviewPages::urlFor(m_previewId, m_pagePath);
    if (m_shownOnce)
        webPreview->showKeepingScroll(url);
    else
        webPreview->load(url);
    m_shownOnce = true;
}

void PreviewBeside::pageLoaded(bool ok) {
    // Loads the page starts itself (a link followed in the preview) show no copy of the text.
    if (m_patching) {
        m_patching = false;
        m_loadingText = QString();
        m_showsText = false;
    } else if (m_loading) {
        m_loading = false;
        m_showsText = ok && m_mapsText && !m_loadingText.isNull();
        m_staysAsWritten = m_showsText && m_loadingStaysAsWritten;
        m_shownText = m_showsText ? std::move(m_loadingText) : QString();
        m_loadingText = QString();
        m_changedSinceShown.reset();
    } else {
        m_showsText = false;
    }
    if (m_refreshAfterLoad)
        show(!m_reloadAfterLoad);
    watchView();
    watchResources();
    if (ok && m_mapsText)
        placeOutline(false);
    emit pageShown(ok);
}

void PreviewBeside::watchResources() {
    for (const QMetaObject::Connection& watch : std::as_const(m_resourceWatches))
        disconnect(watch);
    m_resourceWatches.clear();
    QSet<QString> used = PreviewPages::instance().resourcesOf(m_previewId);
    if (!m_mapsText)
        used.insert(m_pagePath); // the page itself, when it is open in another window
    EditableDocument* own = m_window ? &m_window->editable() : nullptr;
    for (const QString& path : std::as_const(used)) {
        EditableDocument* document = openDocument(m_host, path);
        if (!document || (document == own && m_mapsText))
            continue;
        m_resourceWatches << connect(document, &EditableDocument::changed, this, [this] {
            m_resourcesChanged = true;
            m_followTimer.start();
        });
        m_resourceWatches << connect(document, &EditableDocument::saved, this, &PreviewBeside::refresh);
    }
}

void PreviewBeside::watchView() {
    // The engine shows the page in a widget of its own, made with the first page.
    QWidget* shown = webPreview->view()->focusProxy();
    if (!shown || shown == m_watchedView)
        return;
    shown->installEventFilter(this);
    m_watchedView = shown;
}

bool PreviewBeside::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedView && m_mapsText &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers().testFlag(Qt::ControlModifier)) {
            // Ctrl+click is the editor's: the page never sees it (it would open a link elsewhere).
            if (event->type() == QEvent::MouseButtonPress)
                jumpToElementAt(mouse->position());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QList<int> PreviewBeside::elementsAtCursor() const {
    QList<int> starts;
    if (!m_window)
        return starts;
    const RichTextControl& text = *m_window->txtRich;
    const TextReader read = [&text](int start, int length) { return text.textRange(start, length); };
    const int total = text.textLength();
    // An element without a box of its own (in the head, hidden) is shown by the nearest one around
    // it that has one.
    constexpr int kLevels = 8;
    TextSpan around{text.toOffset(text.textCursor().position()), 0};
    for (int level = 0; level < kLevels; ++level) {
        around = EnclosingElement(read, total, around.start, around.length);
        if (!around.valid())
            break;
        starts << around.start;
    }
    return starts;
}

const ChangedStretch* PreviewBeside::changedSinceShown() {
    if (!m_showsText || !m_window)
        return nullptr;
    if (!m_changedSinceShown)
        m_changedSinceShown = ChangedStretchOf(m_shownText, m_window->txtRich->text());
    return &*m_changedSinceShown;
}

void PreviewBeside::showCursor() {
    placeOutline(true);
}

void PreviewBeside::placeOutline(bool scroll) {
    // The page names the tags by where they stood when it was served.
    QStringList starts;
    if (const ChangedStretch* change = changedSinceShown())
        for (const int start : elementsAtCursor())
            if (const int served = OffsetBeforeChange(*change, start); served >= 0)
                starts << QString::number(served);
    const QString script =
        QString::fromLatin1(kOutlineScript)
            .arg(starts.join(QLatin1Char(',')), scroll ? QStringLiteral("true") : QStringLiteral("false"));
    // The page answers pending scripts while it is destroyed with this preview: by then only the
    // token's absence tells that the preview is gone (a pointer to it would be to a half-destroyed object).
    const std::weak_ptr<const int> token = m_alive;
    PreviewBeside* const alive = this;
    webPreview->page()->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [token, alive](const QVariant& result) {
            if (token.expired())
                return;
            const QVariantList box = result.toList();
            alive->m_outline.reset();
            if (box.size() == 4)
                alive->m_outline =
                    QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble());
            emit alive->outlineShown();
        });
}

void PreviewBeside::jumpToElementAt(QPointF at) {
    const qreal zoom = webPreview->page()->zoomFactor();
    const QString script = QString::fromLatin1(kElementAtScript).arg(at.x() / zoom).arg(at.y() / zoom);
    const std::weak_ptr<const int> token = m_alive;
    PreviewBeside* const alive = this;
    webPreview->page()->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [token, alive](const QVariant& result) {
            if (token.expired() || !alive->m_window)
                return;
            bool number = false;
            const int served = result.toInt(&number);
            const ChangedStretch* change = alive->changedSinceShown();
            const int offset = number && change ? OffsetAfterChange(*change, served) : -1;
            RichTextControl& text = *alive->m_window->txtRich;
            // The page may have changed its attributes: only a start tag's place is taken.
            if (offset < 0 || offset + 1 >= text.textLength() || text.charAt(offset) != u'<' ||
                !text.charAt(offset + 1).isLetter())
                return;
            text.select(offset, 0);
            text.centerCursor();
            text.setFocus();
            emit alive->cursorJumped(offset);
        });
}

PreviewBeside* PreviewBesideOf(const frmNotepad& window) {
    return qobject_cast<PreviewBeside*>(window.previewPane());
}

void TogglePreviewBeside(DocumentHost& host, frmNotepad& window) {
    if (window.previewPane()) {
        window.setPreviewPane(nullptr);
        return;
    }
    const QString saved = window.editable().savedPath();
    if (!saved.isEmpty() && SourceKindOf(saved) != SourceKind::Markup) {
        // A style sheet or a script is seen in a page that uses it.
        const QString page = PreviewPages::instance().pageUsing(saved);
        if (page.isEmpty()) {
            window.setPreviewPane(nullptr);
            Dialogs::instance().message(
                host.dialogParent(), MessageBoxTitle(),
                QCoreApplication::translate(
                    "PreviewBeside",
                    "No page that uses %1 has been previewed yet. Preview a page that links it, "
                    "then Preview Beside shows that page here.")
                    .arg(QDir::toNativeSeparators(saved)),
                Dialogs::Buttons::Ok, Dialogs::Icon::Information);
            return;
        }
        window.setPreviewPane(new PreviewBeside(host, window, page, false));
        return;
    }
    window.setPreviewPane(
        new PreviewBeside(host, window, saved.isEmpty() ? untitledPagePath(host, window) : saved, true));
}

void ShowPreviewBeside(DocumentHost& host, frmNotepad& window, bool shown, double textShare) {
    if (shown != (window.previewPane() != nullptr))
        TogglePreviewBeside(host, window);
    if (window.previewPane() && textShare > 0 && textShare < 1) {
        const int width = window.splPreview->width();
        const int text = int(width * textShare);
        window.splPreview->setSizes({text, width - text});
    }
}

void ServeOpenDocuments(DocumentHost& host, QObject* owner) {
    PreviewPages::instance().setOpenText(
        [&host, alive = QPointer<QObject>(owner)](const QString& path) -> std::optional<QString> {
            if (!alive)
                return std::nullopt;
            return openDocumentText(host, path);
        });
}

#include "moc_PreviewBeside.cpp"
