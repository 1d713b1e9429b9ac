#include "editor/frmFind.h"

#include "editor/DocumentHost.h"
#include "editor/Search.h"
#include "editor/SearchState.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

QString historyPath(const DocumentHost& host, const char* name) {
    return host.programFolder() + QLatin1Char('/') + QLatin1String(name);
}

QString ReplaceAllQuestion(qint64 matches, int documents) {
    // English says "match" or "matches" as the code chooses; a catalogue gives each of these the
    // forms its language has for the count.
    const int count = int(std::min<qint64>(matches, INT_MAX));
    const QString found = matches == 1 ? QCoreApplication::translate("frmFind", "%n match", nullptr, count)
                                       : QCoreApplication::translate("frmFind", "%n matches", nullptr, count);
    const QString in = documents == 1
                           ? QCoreApplication::translate("frmFind", "%n document", "replace in", documents)
                           : QCoreApplication::translate("frmFind", "%n documents", "replace in", documents);
    return QCoreApplication::translate("frmFind", "Replace %1 in %2?").arg(found, in);
}

QStringList entriesOf(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

QComboBox* historyCombo(QWidget* parent, const char* name, const QString& path) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    // Enter in the box presses the default button instead of adding an entry.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItem(QString());
    combo->addItems(ReadSearchHistory(path));
    combo->setCurrentIndex(0);
    combo->setMinimumWidth(280);
    return combo;
}

} // namespace

frmFind::frmFind(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(tr("Quillora - Find & Replace"));
    setModal(false);
    buildControls();
    m_host.searchState().downward = true;
    updateButtons();
    if (parent)
        parent->window()->installEventFilter(this);
}

bool frmFind::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && parentWidget() && watched == parentWidget()->window()) {
        const bool minimised = parentWidget()->window()->isMinimized();
        if (minimised && isVisible()) {
            m_hiddenWithMain = true;
            hide();
        } else if (!minimised && m_hiddenWithMain) {
            m_hiddenWithMain = false;
            show();
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmFind::~frmFind() {
    writeHistories();
}

void frmFind::buildControls() {
    cmbFind = historyCombo(this, "cmbFind", historyPath(m_host, "finds.txt"));
    cmbReplace = historyCombo(this, "cmbReplace", historyPath(m_host, "replaces.txt"));
    auto* findLabel = new QLabel(tr("Find What:"), this);
    findLabel->setBuddy(cmbFind);
    auto* replaceLabel = new QLabel(tr("Replace &With:"), this);
    replaceLabel->setBuddy(cmbReplace);

    chkCase = new QCheckBox(tr("Match &Case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkWholeWord = new QCheckBox(tr("Whole word"), this);
    chkWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    chkWholeWord->setChecked(m_host.settings().FindWholeWord);
    chkRegex = new QCheckBox(tr("Regular expression"), this);
    chkRegex->setObjectName(QStringLiteral("chkRegex"));
    chkRegex->setChecked(m_host.settings().FindRegex);
    auto* direction = new QGroupBox(tr("Direction"), this);
    direction->setObjectName(QStringLiteral("fraDirection"));
    optDown = new QRadioButton(tr("&Down"), direction);
    optDown->setObjectName(QStringLiteral("optDirection0"));
    optDown->setChecked(true);
    optUp = new QRadioButton(tr("&Up"), direction);
    optUp->setObjectName(QStringLiteral("optDirection1"));
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(optDown);
    directionLayout->addWidget(optUp);

    auto* startPosition = new QGroupBox(tr("From Position:"), this);
    startPosition->setObjectName(QStringLiteral("fraStartpos"));
    optBeginning = new QRadioButton(tr("Beginning"), startPosition);
    optBeginning->setObjectName(QStringLiteral("optStartpos0"));
    optCurrent = new QRadioButton(tr("Current"), startPosition);
    optCurrent->setObjectName(QStringLiteral("optStartpos1"));
    optCurrent->setChecked(true);
    optEnd = new QRadioButton(tr("End"), startPosition);
    optEnd->setObjectName(QStringLiteral("optStartpos2"));
    auto* startLayout = new QHBoxLayout(startPosition);
    startLayout->addWidget(optBeginning);
    startLayout->addWidget(optCurrent);
    startLayout->addWidget(optEnd);

    chkSelectedText = new QCheckBox(tr("Search In Selected Text Only."), this);
    chkSelectedText->setObjectName(QStringLiteral("chkSelectedText"));
    chkReplaceAll = new QCheckBox(tr("Replace &All"), this);
    chkReplaceAll->setObjectName(QStringLiteral("chkReplaceAll"));
    chkDocuments = new QCheckBox(tr("Search in the selected documents below:"), this);
    chkDocuments->setObjectName(QStringLiteral("chkDocuments"));
    lstDocuments = new QListWidget(this);
    lstDocuments->setObjectName(QStringLiteral("lstDocuments"));
    lstDocuments->setAccessibleName(tr("Documents to search"));
    lstDocuments->setSelectionMode(QAbstractItemView::MultiSelection);

    cmdFind = new QPushButton(tr("&Find Next"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdReplace = new QPushButton(tr("&Replace"), this);
    cmdReplace->setObjectName(QStringLiteral("cmdReplace"));
    // "Match &Case" has Alt+C already; the button takes another letter so that both keys act.
    cmdClose = new QPushButton(tr("Cl&ose"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout;
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(cmbFind, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(cmbReplace, 1, 1);
    auto* options = new QHBoxLayout;
    auto* matching = new QVBoxLayout;
    for (QCheckBox* option : {chkCase, chkWholeWord, chkRegex})
        matching->addWidget(option);
    options->addLayout(matching);
    options->addWidget(direction);
    options->addWidget(startPosition);
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(options);
    left->addWidget(chkSelectedText);
    left->addWidget(chkReplaceAll);
    left->addWidget(chkDocuments);
    left->addWidget(lstDocuments);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdFind);
    buttons->addWidget(cmdReplace);
    buttons->addWidget(cmdClose);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    QWidget* order[] = {cmbFind,      cmbReplace,   chkCase,    chkWholeWord, chkRegex,        optDown,
                        optUp,        optBeginning, optCurrent, optEnd,       chkSelectedText, chkReplaceAll,
                        chkDocuments, lstDocuments, cmdFind,    cmdReplace,   cmdClose};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Any change of what or how to search makes the next search a new one.
    connect(cmbFind, &QComboBox::currentTextChanged, this, [this] {
        restart();
        updateButtons();
    });
    for (QAbstractButton* option : std::initializer_list<QAbstractButton*>{
             chkCase, chkWholeWord, chkRegex, optDown, optUp, optBeginning, optCurrent, optEnd,
             chkSelectedText, chkDocuments})
        connect(option, &QAbstractButton::clicked, this, &frmFind::restart);
    connect(chkRegex, &QCheckBox::clicked, this, [this](bool on) {
        m_host.changeSettings([on](Settings& settings) { settings.FindRegex = on; });
    });
    connect(chkWholeWord, &QCheckBox::clicked, this, [this](bool on) {
        m_host.changeSettings([on](Settings& settings) { settings.FindWholeWord = on; });
    });
    connect(chkReplaceAll, &QCheckBox::toggled, this, &frmFind::updateButtons);
    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmFind::cmdReplace_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmFind::cmdClose_Click);
}

void frmFind::restart() {
    m_host.searchState().restart = true;
}

SearchOptions frmFind::boxOptions() const {
    return {chkCase->isChecked(), chkRegex->isChecked(), chkWholeWord->isChecked()};
}

void frmFind::updateButtons() {
    const bool hasText = !cmbFind->currentText().isEmpty();
    const bool all = chkReplaceAll->isChecked();
    cmdFind->setEnabled(hasText);
    chkReplaceAll->setEnabled(hasText);
    cmdReplace->setEnabled(hasText && !all);
    cmdFind->setText(all ? tr("&Replace All") : tr("&Find Next"));
    for (QRadioButton* option : {optDown, optUp, optBeginning, optCurrent, optEnd})
        option->setEnabled(!all);
}

void frmFind::showForCurrentDocument() {
    restart();
    m_hiddenWithMain = false;
    std::vector<QPointer<frmNotepad>> picked;
    for (int row = 0; row < lstDocuments->count() && row < static_cast<int>(m_listed.size()); ++row)
        if (lstDocuments->item(row)->isSelected() && m_listed[row])
            picked.push_back(m_listed[row]);
    m_listed.clear();
    lstDocuments->clear();
    const DocumentTable& table = m_host.documents();
    for (int slot = 0; slot < table.slotCount(); ++slot) {
        frmNotepad* document = table.Documents[slot];
        if (!document || table.DocumentSlots[slot].Free)
            continue;
        lstDocuments->addItem(document->windowTitle());
        lstDocuments->item(lstDocuments->count() - 1)
            ->setSelected(std::find(picked.begin(), picked.end(), document) != picked.end());
        m_listed.emplace_back(document);
    }
    // Searching "the selected documents" with none selected finds nothing: the choice goes.
    if (lstDocuments->selectedItems().isEmpty())
        chkDocuments->setChecked(false);
    frmNotepad* current = table.current();
    if (!table.DocumentActive || !current) {
        hide();
        return;
    }
    const int selected = current->txtRich->selLength();
    m_host.searchState().startPosition = current->txtRich->selStart();
    if (selected >= 1 && selected < 500)
        cmbFind->setCurrentText(current->txtRich->selText());
    if (selected >= 500)
        chkSelectedText->setChecked(true);
    show();
    raise();
    activateWindow();
}

void frmFind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    cmbFind->setFocus();
    cmbFind->lineEdit()->selectAll();
}

void frmFind::hideEvent(QHideEvent* event) {

    // Written whenever the dialog goes, so entries added before a Close are kept.
    writeHistories();
    QDialog::hideEvent(event);
}

void frmFind::reject() {
    hide();
}

void frmFind::cmdClose_Click() {
    hide();
}

void frmFind::writeHistories() const {
    WriteSearchHistory(historyPath(m_host, "finds.txt"), entriesOf(cmbFind));
    WriteSearchHistory(historyPath(m_host, "replaces.txt"), entriesOf(cmbReplace));
}

void frmFind::addToHistory(QComboBox* combo, const QString& text) {
    if (!text.isEmpty() && combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        const QString current = combo->currentText();
        combo->addItem(text);
        combo->setCurrentText(current);
    }
}

void frmFind::inform(const QString& text) {
    Dialogs::instance().message(this, MessageBoxTitle(), text, Dialogs::Buttons::Ok,
                                Dialogs::Icon::Information);
}

std::vector<QPointer<frmNotepad>> frmFind::documentsToSearch() const {
    std::vector<QPointer<frmNotepad>> documents;
    if (!chkDocuments->isChecked()) {
        if (frmNotepad* current = m_host.documents().current())
            documents.emplace_back(current);
        return documents;
    }
    // The rows hold the windows themselves: a document renamed since is still found, one closed
    // is left out, and two windows on one file are told apart.
    for (int row = 0; row < lstDocuments->count(); ++row) {
        if (lstDocuments->item(row)->isSelected() && row < static_cast<int>(m_listed.size()) && m_listed[row])
            documents.push_back(m_listed[row]);
    }
    return documents;
}

bool frmFind::startInDocument(frmNotepad* document) {
    SearchState& state = m_host.searchState();
    RichTextControl& text = *document->txtRich;
    state.baseOffset = 0;
    state.searchedLength = -1;
    if (chkSelectedText->isChecked()) {
        if (text.selLength() == 0)
            return false;
        state.baseOffset = text.selStart();
        state.searchedLength = text.selLength();
    }
    state.startPosition =
        state.downward
            ? state.baseOffset
            : state.baseOffset + (state.searchedLength < 0 ? text.textLength() : state.searchedLength);
    state.restart = true;
    return true;
}

bool frmFind::beginSearch(frmNotepad* document) {
    SearchState& state = m_host.searchState();
    RichTextControl& text = *document->txtRich;
    state.findText = cmbFind->currentText();
    state.matchCase = chkCase->isChecked();
    state.wholeWord = chkWholeWord->isChecked();
    state.regex = chkRegex->isChecked();
    state.downward = optDown->isChecked();
    state.baseOffset = 0;
    state.searchedLength = -1;
    if (const SearchPattern pattern(state.findText, state.options()); !pattern.isValid()) {
        inform(pattern.errorMessage());
        return false;
    }
    if (chkSelectedText->isChecked()) {
        if (text.selLength() == 0) {
            inform(tr("There is no text selected in the current dockument!"));
            return false;
        }
        // The stretch is fixed now; Find Next searches inside it until the search starts anew.
        state.baseOffset = text.selStart();
        state.searchedLength = text.selLength();
    }
    const int stretchEnd =
        state.searchedLength < 0 ? text.textLength() : state.baseOffset + state.searchedLength;
    state.startPosition = optBeginning->isChecked() ? state.baseOffset
                          : optEnd->isChecked()     ? stretchEnd
                                                : std::clamp(text.selStart(), state.baseOffset, stretchEnd);
    state.restart = true;
    return true;
}

void frmFind::cmdFind_Click() {
    QMdiSubWindow* active = m_host.mdiArea()->activeSubWindow();
    frmNotepad* current = m_host.documents().current();
    if (!current || (active && !qobject_cast<frmNotepad*>(active)))
        return;
    SearchState& state = m_host.searchState();
    if (state.restart) {
        m_matchDocument = nullptr;
        if (!beginSearch(current))
            return;
    }
    addToHistory(cmbFind, state.findText);

    std::vector<QPointer<frmNotepad>> documents = documentsToSearch();
    if (chkReplaceAll->isChecked()) {
        replaceAll(documents);
        return;
    }
    if (documents.empty()) {
        inform(tr("There are no documents selected!"));
        return;
    }
    // The search goes on in the document of the last match, then in the ones listed after it, each
    // of those from its start.
    std::size_t index = 0;
    if (m_matchDocument) {
        const auto found = std::find(documents.begin(), documents.end(), m_matchDocument);
        index = found == documents.end() ? 0 : static_cast<std::size_t>(found - documents.begin());
    }
    frmNotepad* searched = nullptr;
    for (bool first = true; index < documents.size(); ++index, first = false) {
        searched = documents[index];
        const bool goesOn = first && (searched == m_matchDocument || searched == current);
        if (!goesOn && !startInDocument(searched))
            continue;
        searched->undoHistory().recordPending();
        if (FindInText(*searched->txtRich, state).isEmpty()) {
            m_matchDocument = searched;
            if (m_host.mdiArea()->activeSubWindow() != searched)
                m_host.mdiArea()->setActiveSubWindow(searched);
            searched->txtRich->setFocus();
            return;
        }
        m_matchDocument = nullptr;
    }
    // Nothing more: the next search starts anew from the start.
    const QString message = tr("Unable to find \"%1\"").arg(state.findText);
    state.startPosition = state.baseOffset;
    state.lastPosition = state.baseOffset;
    state.restart = true;
    if (searched) {
        if (state.searchedLength >= 0)
            searched->txtRich->select(state.baseOffset, state.searchedLength);
        else
            searched->txtRich->setSelStart(0);
    }
    inform(message);
}

void frmFind::cmdReplace_Click() {
    frmNotepad* document = m_matchDocument ? m_matchDocument.data() : m_host.documents().current();
    if (!document)
        return;
    RichTextControl& text = *document->txtRich;
    SearchState& state = m_host.searchState();
    // The selection must be a match of the find box's text, as the options say.
    const SearchPattern pattern(cmbFind->currentText(), boxOptions());
    if (!pattern.isValid()) {
        inform(pattern.errorMessage());
        return;
    }
    const PatternMatch match = SelectedMatch(text, state, pattern);
    if (!match.found())
        return;
    const QString replacement = cmbReplace->currentText();
    addToHistory(cmbReplace, replacement);
    const int at = document->ReplaceSelection(pattern.replacementFor(match, replacement));
    const int inserted = text.selStart() - at;
    if (m_host.settings().UseColors && inserted > 0)
        RecolorChange(text, document->colorRoles(), at, inserted, document->stateHooks());
    text.setSelStart(std::max(at, at + inserted - 1));
    const int grown = inserted - static_cast<int>(match.length);
    // The next search goes on right after the replacement (one further after an empty match, which
    // would be found there again), and a stretch searched grows with it. No match is selected now.
    state.lastLength = -1;
    if (state.downward)
        state.lastPosition = at + inserted + (match.length == 0 ? 1 : 0);
    if (state.searchedLength >= 0 && at >= state.baseOffset && at <= state.baseOffset + state.searchedLength)
        state.searchedLength = std::max(0, state.searchedLength + grown);
}

void frmFind::replaceAll(const std::vector<QPointer<frmNotepad>>& documents) {
    if (documents.empty()) {
        inform(tr("There are no documents selected!"));
        return;
    }
    const SearchState& state = m_host.searchState();
    const QString replacement = cmbReplace->currentText();
    const bool selectedOnly = chkSelectedText->isChecked();
    // Every document is worked out first, so that the question tells what will be replaced.
    struct Planned {
        QPointer<frmNotepad> document;
        ReplaceAllPlan plan;
        bool stale = false;
    };
    std::vector<Planned> planned;
    qint64 matches = 0;
    for (const QPointer<frmNotepad>& document : documents) {
        if (!document)
            continue;
        ReplaceAllPlan plan = PlanReplaceAll(*document->txtRich, selectedOnly, state, replacement);
        if (plan.count == 0)
            continue;
        matches += plan.count;
        planned.push_back({document, std::move(plan)});
    }
    if (planned.empty()) {
        inform(tr("Unable to find \"%1\"").arg(state.findText));
        return;
    }
    // A text that changes while the question is open (reloaded from disk, say) is worked out again.
    std::vector<QMetaObject::Connection> watches;
    for (Planned& entry : planned)
        watches.push_back(connect(entry.document->txtRich, &RichTextControl::change, this,
                                  [&entry] { entry.stale = true; }));
    const auto answer =
        Dialogs::instance().message(this, MessageBoxTitle(), ReplaceAllQuestion(matches, int(planned.size())),
                                    Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    for (const QMetaObject::Connection& watch : watches)
        disconnect(watch);
    if (answer != Dialogs::Answer::Yes)
        return;
    addToHistory(cmbReplace, replacement);
    for (Planned& entry : planned) {
        frmNotepad* document = entry.document;
        if (!document)
            continue;
        RichTextControl& text = *document->txtRich;
        if (entry.stale)
            entry.plan = PlanReplaceAll(text, selectedOnly, state, replacement);
        if (!entry.plan.changes)
            continue;
        const int start = entry.plan.start;
        const int length = static_cast<int>(entry.plan.replaced.size());
        // One undo step, which gives the whole stretch back.
        document->undoHistory().replaceStretch(std::move(entry.plan));
        entry.plan = {}; // the texts go before the colouring needs its memory
        if (m_host.settings().UseColors)
            RecolorChange(text, document->colorRoles(), start, length, document->stateHooks());
    }
    inform(tr("Replace All Done!"));
    chkReplaceAll->setChecked(false);
}
void frmFind::findNextIn(RichTextControl& text) {
    SearchState& state = m_host.searchState();
    // The whole text is searched here, whatever stretch the dialog searched last.
    state.baseOffset = 0;
    state.searchedLength = -1;
    const QString selected = text.selText();
    if (!state.restart && !state.findText.isEmpty() &&
        SelectedMatch(text, state, SearchPattern(state.findText, state.options())).found()) {
        FindInText(text, state); // nothing found: the next search starts anew, quietly
        return;
    }
    if (selected.isEmpty() && cmbFind->currentText().isEmpty()) {
        showForCurrentDocument();
        return;
    }
    // A selected text searched for as a pattern is escaped, so that it finds itself.
    const SearchOptions options = boxOptions();
    const QString findText = !selected.isEmpty()
                                 ? (options.regex ? QRegularExpression::escape(selected) : selected)
                                 : cmbFind->currentText();
    const SearchPattern pattern(findText, options);
    if (!pattern.isValid()) {
        inform(pattern.errorMessage());
        return;
    }
    cmbFind->setCurrentText(findText);
    state.findText = findText;
    state.matchCase = options.matchCase;
    state.regex = options.regex;
    state.wholeWord = options.wholeWord;
    state.restart = true;
    state.startPosition = text.selStart() + 1;
    state.lastPosition = state.startPosition;
    if (!FindInText(text, state).isEmpty()) {
        state.startPosition = 0; // once more from the start of the text
        FindInText(text, state);
    }
}

#include "moc_frmFind.cpp"
