#include "app/SpellingPanel.h"

#include "app/frmQuillora.h"
#include "editor/DocumentSpelling.h"
#include "editor/Spelling.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// How long the list waits after a change of the text before it is made again.
constexpr int kRefreshDelayMs = 250;
// Places named in a row; the count says how many there are.
constexpr int kPlacesShown = 12;

QString placeOf(const RichTextControl& text, int offset) {
    const int line = text.lineFromChar(offset);
    return QStringLiteral("%1:%2").arg(line + 1).arg(offset - text.lineIndex(line) + 1);
}

} // namespace

SpellingPanel::SpellingPanel(frmQuillora& main) : QDockWidget(tr("Spelling"), &main), m_main(main) {
    setObjectName(QStringLiteral("dockSpelling"));
    auto* body = new QWidget(this);
    lblSpelling = new QLabel(body);
    lblSpelling->setObjectName(QStringLiteral("lblSpelling"));
    lblSpelling->setTextFormat(Qt::PlainText);
    lblSpelling->setWordWrap(true);
    cmbSuggestions = new QComboBox(body);
    cmbSuggestions->setObjectName(QStringLiteral("cmbSuggestions"));
    cmbSuggestions->setEditable(true); // a word of one's own in place of the suggestions
    cmbSuggestions->setMinimumContentsLength(16);
    cmdReplace = new QPushButton(tr("&Replace"), body);
    cmdReplace->setObjectName(QStringLiteral("cmdReplace"));
    lstSpelling = new QTreeWidget(body);
    lstSpelling->setObjectName(QStringLiteral("lstSpelling"));
    lstSpelling->setHeaderLabels({tr("Word"), tr("Count"), tr("Places")});
    lstSpelling->setRootIsDecorated(false);
    lstSpelling->setUniformRowHeights(true);
    lstSpelling->header()->setStretchLastSection(true);

    auto* replaceRow = new QHBoxLayout;
    auto* with = new QLabel(tr("Replace &with:"), body);
    with->setBuddy(cmbSuggestions);
    replaceRow->addWidget(with);
    replaceRow->addWidget(cmbSuggestions);
    replaceRow->addWidget(cmdReplace);
    replaceRow->addWidget(lblSpelling, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(replaceRow);
    layout->addWidget(lstSpelling);
    setWidget(body);
    setFocusProxy(lstSpelling);
    setTabOrder(lstSpelling, cmbSuggestions);
    setTabOrder(cmbSuggestions, cmdReplace);

    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, &SpellingPanel::refresh);
    connect(lstSpelling, &QTreeWidget::currentItemChanged, this, &SpellingPanel::wordChosen);
    connect(lstSpelling, &QTreeWidget::itemActivated, this, &SpellingPanel::nextPlace);
    connect(cmdReplace, &QPushButton::clicked, this, &SpellingPanel::replace);
}

SpellingPanel::~SpellingPanel() {
    release();
}

void SpellingPanel::release() {
    if (!m_document)
        return;
    disconnect(m_document, nullptr, this, nullptr);
    if (DocumentSpelling* spelling = m_document->spelling()) {
        disconnect(spelling, nullptr, this, nullptr);
        spelling->setListed(false);
    }
    m_document = nullptr;
}

void SpellingPanel::list(frmNotepad& document) {
    if (m_document != &document) {
        release();
        m_document = &document;
        m_entries.clear();
        lstSpelling->clear();
        connect(&document, &QObject::destroyed, this, [this] {
            m_entries.clear();
            lstSpelling->clear();
            cmbSuggestions->clear();
            lblSpelling->clear();
        });
        if (DocumentSpelling* spelling = document.spelling()) {
            spelling->setListed(true);
            connect(spelling, &DocumentSpelling::changed, this, [this] { m_refresh.start(kRefreshDelayMs); });
            connect(spelling, &DocumentSpelling::finished, this, &SpellingPanel::refresh);
        }
    }
    show();
    raise();
    refresh();
}

void SpellingPanel::listAll() {
    if (m_document && m_document->spelling())
        m_document->spelling()->checkAll();
    refresh();
}

void SpellingPanel::hideEvent(QHideEvent* event) {
    // A panel out of sight keeps nothing checked that the settings do not ask for.
    if (m_document && m_document->spelling())
        m_document->spelling()->setListed(false);
    QDockWidget::hideEvent(event);
}

void SpellingPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (m_document && m_document->spelling()) {
        m_document->spelling()->setListed(true);
        refresh();
    }
}

void SpellingPanel::refresh() {
    m_refresh.stop();
    DocumentSpelling* spelling = m_document ? m_document->spelling() : nullptr;
    SpellingService* service = m_main.spelling();
    if (!spelling || !service)
        return;
    if (!service->hasDictionaries()) {
        lblSpelling->setText(MissingDictionaryMessage());
        return;
    }
    if (!spelling->checking()) {
        lblSpelling->setText(tr("This document has no words to check: style sheets and programs "
                                "are checked only with their comments and strings (Settings)."));
        return;
    }
    if (!spelling->done()) {
        lblSpelling->setText(tr("Checking... %1%").arg(int(spelling->progress() * 100)));
        return;
    }
    // The words in the order they first stand in the text, each with all its places.
    const RichTextControl& text = *m_document->txtRich;
    const QString all = text.text(); // read once: a page may have thousands of misspellings
    QHash<QString, size_t> index;
    m_entries.clear();
    for (const DocumentSpelling::Misspelling& mark : spelling->misspellings()) {
        const QString word = all.mid(mark.start, mark.length);
        auto found = index.constFind(word);
        if (found == index.cend()) {
            found = index.insert(word, m_entries.size());
            m_entries.push_back({word, {}, mark.dictionary});
        }
        m_entries[*found].places.emplace_back(mark.start, mark.length);
    }
    const QTreeWidgetItem* current = lstSpelling->currentItem();
    const QString chosen = current ? current->text(0) : QString();
    lstSpelling->clear();
    QList<QTreeWidgetItem*> rows;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        QStringList places;
        for (size_t p = 0; p < entry.places.size() && p < size_t(kPlacesShown); ++p)
            places << placeOf(text, entry.places[p].first);
        if (entry.places.size() > size_t(kPlacesShown))
            places << QStringLiteral("...");
        auto* row = new QTreeWidgetItem({entry.word, QString(), places.join(QStringLiteral(", "))});
        row->setData(1, Qt::DisplayRole, int(entry.places.size()));
        row->setData(0, Qt::UserRole, int(i));
        rows << row;
    }
    lstSpelling->addTopLevelItems(rows);
    lblSpelling->setText(m_entries.empty() ? tr("No misspelt words.")
                                           : tr("%n misspelt words.", nullptr, int(m_entries.size())));
    const QList<QTreeWidgetItem*> again = lstSpelling->findItems(chosen, Qt::MatchExactly);
    lstSpelling->setCurrentItem(!again.isEmpty() ? again.first() : lstSpelling->topLevelItem(0));
}

const SpellingPanel::Entry* SpellingPanel::currentEntry() const {
    const QTreeWidgetItem* item = lstSpelling->currentItem();
    const int at = item ? item->data(0, Qt::UserRole).toInt() : -1;
    return at >= 0 && size_t(at) < m_entries.size() ? &m_entries[size_t(at)] : nullptr;
}

void SpellingPanel::wordChosen() {
    cmbSuggestions->clear();
    const Entry* entry = currentEntry();
    if (entry && entry->dictionary && m_main.spelling())
        cmbSuggestions->addItems(m_main.spelling()->suggestions(entry->word, *entry->dictionary));
}

std::vector<std::pair<int, int>> SpellingPanel::placesOf(const QString& word) const {
    std::vector<std::pair<int, int>> places;
    if (!m_document || !m_document->spelling())
        return places;
    const RichTextControl& text = *m_document->txtRich;
    for (const DocumentSpelling::Misspelling& mark : m_document->spelling()->misspellings())
        if (mark.length == word.size() && text.textRange(mark.start, mark.length) == word)
            places.emplace_back(mark.start, mark.length);
    return places;
}

void SpellingPanel::nextPlace(QTreeWidgetItem* item) {
    if (!item || !m_document)
        return;
    const std::vector<std::pair<int, int>> places = placesOf(item->text(0));
    if (places.empty())
        return;
    RichTextControl& text = *m_document->txtRich;
    // After the selection, or from the top again after the last.
    const int from = text.selStart() + text.selLength();
    const auto next =
        std::find_if(places.begin(), places.end(), [from](const auto& place) { return place.first >= from; });
    const auto& [start, length] = next != places.end() ? *next : places.front();
    if (m_document->isMinimized())
        m_document->showNormal();
    m_main.mdiArea()->setActiveSubWindow(m_document);
    m_document->undoHistory().recordPending();
    text.select(start, length);
    text.ensureCursorVisible();
    lstSpelling->setFocus(); // Enter again goes on to the next place
}

void SpellingPanel::replace() {
    const Entry* entry = currentEntry();
    const QString replacement = cmbSuggestions->currentText();
    if (!entry || !m_document || replacement.isEmpty())
        return;
    // The places as the text stands now, whatever changed since the list was made.
    ReplaceStretches(*m_document, placesOf(entry->word), replacement);
    m_refresh.start(0);
}

SpellingService* frmQuillora::spelling() {
    if (!m_spelling)
        m_spelling = std::make_unique<SpellingService>(m_programFolder);
    return m_spelling.get();
}

SpellingPanel* frmQuillora::spellingPanel() const {
    return m_spellingPanel;
}

void frmQuillora::showSpellingList(frmNotepad& document) {
    if (!m_spellingPanel) {
        m_spellingPanel = new SpellingPanel(*this);
        addDockWidget(Qt::BottomDockWidgetArea, m_spellingPanel);
        // Beside the other panels at the bottom, not squeezed under them.
        for (QDockWidget* other : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (other != m_spellingPanel && dockWidgetArea(other) == Qt::BottomDockWidgetArea &&
                !other->isFloating() && other->isVisible()) {
                tabifyDockWidget(other, m_spellingPanel);
                break;
            }
    }
    m_spellingPanel->list(document);
}

void frmQuillora::addSpellingItems(frmNotepad& document, const QPoint& at) {
    qDeleteAll(std::exchange(m_spellingItems, {}));
    DocumentSpelling* spelling = document.spelling();
    if (!spelling || !spelling->underlined() || !m_spelling)
        return;
    RichTextControl& text = *document.txtRich;
    const int offset = text.toOffset(text.cursorForPosition(text.viewport()->mapFromGlobal(at)).position());
    const std::optional<DocumentSpelling::Misspelling> mark = spelling->misspellingAt(offset);
    if (!mark)
        return;
    const QString word = text.textRange(mark->start, mark->length);
    QAction* first = mnuPopup->actions().value(0);
    const QPointer<frmNotepad> target = &document;
    const auto add = [&](const QString& caption, const QString& name) {
        auto* item = new QAction(caption, mnuPopup);
        item->setObjectName(name);
        mnuPopup->insertAction(first, item);
        m_spellingItems << item;
        return item;
    };
    const QStringList suggestions = m_spelling->suggestions(word, *mark->dictionary);
    for (int i = 0; i < suggestions.size(); ++i) {
        // A suggestion shows as it stands: "&" is no mnemonic here.
        QAction* item = add(QString(suggestions[i]).replace(QLatin1Char('&'), QLatin1String("&&")),
                            QStringLiteral("mnuSuggestion%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [target, place = *mark, word, suggestion = suggestions[i]] {
            // Only where the word still stands as it was when the menu opened.
            if (target && target->txtRich->textRange(place.start, place.length) == word)
                ReplaceStretches(*target, {{place.start, place.length}}, suggestion);
        });
    }
    if (suggestions.isEmpty())
        add(tr("(no suggestions)"), QStringLiteral("mnuNoSuggestions"))->setEnabled(false);
    connect(
        add(tr("Add to Dictionary"), QStringLiteral("mnuAddWord")), &QAction::triggered, this, [this, word] {
            QString reason;
            if (!m_spelling->addWord(word, reason))
                Dialogs::instance().message(
                    this, MessageBoxTitle(),
                    tr("\"%1\" could not be added to %2.\r\n%3").arg(word, m_spelling->wordsPath(), reason),
                    Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        });
    connect(add(tr("Ignore All"), QStringLiteral("mnuIgnoreAll")), &QAction::triggered, this,
            [this, word] { m_spelling->ignoreWord(word); });
    QAction* separator = add(QString(), QStringLiteral("mnuSepSpelling"));
    separator->setSeparator(true);
}

#include "moc_SpellingPanel.cpp"
