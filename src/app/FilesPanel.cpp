#include "app/FilesPanel.h"

#include "app/frmQuillora.h"
#include "editor/Search.h"
#include "editor/SearchState.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace {

// How many rows are added to the list at a time.
constexpr int kRowsPerSlice = 3000;

// How many files the question before Replace All and the report after it name; the rest are
// counted, so that the box stays on the screen.
constexpr int kFilesNamed = 15;

// English says `one` or `many` as the code chooses; a catalogue gives each the forms its language
// has for the count.
QString counted(qsizetype count, const char* one, const char* many) {
    const int n = int(std::min<qsizetype>(count, INT_MAX));
    return QCoreApplication::translate("FilesPanel", count == 1 ? one : many, nullptr, n);
}

QString matchesText(qsizetype count) {
    return counted(count, QT_TRANSLATE_N_NOOP("FilesPanel", "%n match"),
                   QT_TRANSLATE_N_NOOP("FilesPanel", "%n matches"));
}

QString filesText(qsizetype count) {
    return counted(count, QT_TRANSLATE_N_NOOP("FilesPanel", "%n file"),
                   QT_TRANSLATE_N_NOOP("FilesPanel", "%n files"));
}

// The lines of a list in a message, the first kFilesNamed of them and how many more there are.
QString namedLines(const QStringList& lines) {
    QStringList shown = lines.mid(0, kFilesNamed);
    if (lines.size() > kFilesNamed)
        shown << QCoreApplication::translate("FilesPanel", "... and %1 more").arg(lines.size() - kFilesNamed);
    return shown.join(QStringLiteral("\r\n"));
}

// What the paths of the files in `folder` begin with.
QString folderPrefix(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The document window that holds the file at `path`, reached by this name or another (a link).
frmNotepad* windowOf(DocumentHost& host, const QString& path) {
    const QString clean = QDir::cleanPath(path);
    struct stat wanted {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &wanted) == 0;
    const DocumentTable& table = host.documents();
    for (int slot = 0; slot < table.slotCount(); ++slot) {
        frmNotepad* window = table.Documents[slot];
        const QString& open = table.DocumentSlots[slot].PathCaption;
        if (!window || table.DocumentSlots[slot].Free || open.isEmpty())
            continue;
        struct stat status {};
        if (QDir::cleanPath(open) == clean ||
            (exists && ::stat(QFile::encodeName(open).constData(), &status) == 0 &&
             status.st_dev == wanted.st_dev && status.st_ino == wanted.st_ino))
            return window;
    }
    return nullptr;
}

// Replace All in a document window, as the find dialog does it: one undo step, the document
// left changed and unsaved.
ReplaceOutcome replaceInWindow(frmNotepad& window, const QString& path, const FilesQuery& query) {
    ReplaceOutcome outcome;
    outcome.path = path;
    outcome.inWindow = true;
    SearchState state;
    state.findText = query.find;
    state.matchCase = query.options.matchCase;
    state.regex = query.options.regex;
    state.wholeWord = query.options.wholeWord;
    RichTextControl& text = *window.txtRich;
    ReplaceAllPlan plan = PlanReplaceAll(text, false, state, query.replacement);
    outcome.count = plan.count;
    if (plan.count == 0) {
        outcome.failure =
            QCoreApplication::translate("FilesPanel", "%1 has no matches any more in its window.").arg(path);
        return outcome;
    }
    if (!plan.changes)
        return outcome;
    window.undoHistory().recordPending();
    const int length = static_cast<int>(plan.replaced.size());
    window.undoHistory().replaceStretch(std::move(plan));
    plan = {};
    if (window.usesColors())
        RecolorChange(text, window.colorRoles(), 0, length, window.stateHooks());
    outcome.changed = true;
    return outcome;
}

// The text of a row with its match in bold; the text is cut at the right edge as a whole.
class MatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QVariant markStart = index.data(FilesPanel::kMarkStartRole);
        if (!markStart.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(2, 0, -2, 0);
        const int start = markStart.toInt();
        const int length = index.data(FilesPanel::kMarkLengthRole).toInt();
        const QString pieces[] = {text.left(start), text.mid(start, length), text.mid(start + length)};
        QFont bold = item.font;
        bold.setBold(true);
        painter->save();
        const QPalette::ColorGroup group =
            item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter->setPen(item.palette.color(
            group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        int x = area.left();
        for (int i = 0; i < 3 && x < area.right(); ++i) {
            const QFont& font = i == 1 ? bold : item.font;
            const QFontMetrics metrics(font);
            const QString piece = metrics.elidedText(pieces[i], Qt::ElideRight, area.right() - x);
            painter->setFont(font);
            painter->drawText(QRect(x, area.top(), area.right() - x, area.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
            x += metrics.horizontalAdvance(piece);
        }
        painter->restore();
    }
};

} // namespace

FilesPanel::FilesPanel(frmQuillora& main) : QDockWidget(tr("Find in Files"), &main), m_main(main) {
    setObjectName(QStringLiteral("dockFiles"));
    auto* body = new QWidget(this);
    lblFilesSummary = new QLabel(body);
    lblFilesSummary->setObjectName(QStringLiteral("lblFilesSummary"));
    lblFilesSummary->setTextFormat(Qt::PlainText);
    prgFiles = new QProgressBar(body);
    prgFiles->setObjectName(QStringLiteral("prgFiles"));
    prgFiles->setMaximumWidth(200);
    prgFiles->hide();
    cmdCancelFiles = new QPushButton(tr("Cancel"), body);
    cmdCancelFiles->setObjectName(QStringLiteral("cmdCancelFiles"));
    cmdCancelFiles->setEnabled(false);
    lstFileResults = new QTreeWidget(body);
    lstFileResults->setObjectName(QStringLiteral("lstFileResults"));
    lstFileResults->setHeaderLabels({tr("Line"), tr("Column"), tr("Text")});
    lstFileResults->setUniformRowHeights(true);
    lstFileResults->header()->setStretchLastSection(true);
    lstFileResults->setColumnWidth(0, 120);
    lstFileResults->setColumnWidth(1, 60);
    lstFileResults->setItemDelegateForColumn(2, new MatchDelegate(lstFileResults));
    lstFileResults->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(lblFilesSummary, 1);
    top->addWidget(prgFiles);
    top->addWidget(cmdCancelFiles);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(lstFileResults);
    setWidget(body);
    setTabOrder(lstFileResults, cmdCancelFiles);

    connect(cmdCancelFiles, &QPushButton::clicked, this, &FilesPanel::cancel);
    // A double click or Enter on a row goes to its place.
    connect(lstFileResults, &QTreeWidget::itemActivated, this, &FilesPanel::resultActivated);
    connect(&m_job, &FileSearchJob::listing, this, &FilesPanel::listing);
    connect(&m_job, &FileSearchJob::progress, this, &FilesPanel::progress);
    connect(&m_job, &FileSearchJob::found, this, &FilesPanel::found);
    connect(&m_job, &FileSearchJob::skipped, this, &FilesPanel::skipped);
    connect(&m_job, &FileSearchJob::replaced, this, [this](const std::vector<ReplaceOutcome>& outcomes) {
        m_outcomes.insert(m_outcomes.end(), outcomes.begin(), outcomes.end());
        m_fromThread += qsizetype(outcomes.size());
    });
    connect(&m_job, &FileSearchJob::finished, this, [this] {
        if (m_phase == Phase::Writing)
            writeFinished();
        else
            searchFinished();
    });
}

FilesPanel::~FilesPanel() {
    // The main window is being taken apart: nothing of it is touched here. The job's destructor
    // stops its thread.
    m_job.cancel();
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

void FilesPanel::showDialog(frmNotepad* from) {
    if (!m_dialog) {
        m_dialog = new frmFindInFiles(m_main, &m_main);
        connect(m_dialog, &frmFindInFiles::findAll, this, &FilesPanel::findAll);
        connect(m_dialog, &frmFindInFiles::replaceAll, this, &FilesPanel::replaceAll);
    }
    m_dialog->showFor(from);
}

void FilesPanel::findAll(const FilesQuery& query) {
    start(query, false);
}

void FilesPanel::replaceAll(const FilesQuery& query) {
    start(query, true);
}

void FilesPanel::setPhase(Phase phase) {
    m_phase = phase;
    const bool busy = phase != Phase::Idle;
    cmdCancelFiles->setEnabled(busy);
    prgFiles->setVisible(busy);
    if (busy != m_busyCursor) {
        m_busyCursor = busy;
        if (busy)
            QApplication::setOverrideCursor(Qt::BusyCursor);
        else
            QApplication::restoreOverrideCursor();
    }
}

void FilesPanel::start(const FilesQuery& query, bool replacing) {
    if (m_phase == Phase::Writing) {
        Dialogs::instance().message(&m_main, MessageBoxTitle(),
                                    tr("Replace in Files is still writing files. Wait until it "
                                       "is done, or cancel it, before searching again."),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    m_job.cancel();
    m_query = query;
    m_replacing = replacing;
    m_results.clear();
    m_skipped.clear();
    m_outcomes.clear();
    m_matches = 0;
    m_searched = 0;
    m_skippedRow = nullptr;
    m_groups.clear();
    m_unlisted.clear();
    m_rowsScheduled = false;
    ++m_run;
    lstFileResults->clear();

    FileSearchRequest request;
    request.folder = query.folder;
    request.filter = query.filter;
    request.hiddenFolders = query.hiddenFolders;
    request.find = query.find;
    request.options = query.options;
    // Documents open in windows are searched as they stand there, saved or not: that is the text
    // Replace All changes in them.
    const QString given = folderPrefix(query.folder);
    const QString canonical = folderPrefix(QFileInfo(query.folder).canonicalFilePath());
    const DocumentTable& table = m_main.documents();
    for (int slot = 0; slot < table.slotCount(); ++slot) {
        const frmNotepad* window = table.Documents[slot];
        const QString& path = table.DocumentSlots[slot].PathCaption;
        if (window && !table.DocumentSlots[slot].Free && !path.isEmpty() &&
            (path.startsWith(given) || QFileInfo(path).canonicalFilePath().startsWith(canonical)))
            request.openDocuments.push_back({path, window->txtRich->text()});
    }
    setPhase(Phase::Searching);
    prgFiles->setRange(0, 0);
    lblFilesSummary->setText(tr("Listing the files of %1...").arg(query.folder));
    show();
    raise();
    // The keys go to the results: the dialog that started the run has gone.
    m_main.activateWindow();
    lstFileResults->setFocus();
    m_job.search(std::move(request));
}

void FilesPanel::listing(qsizetype files) {
    lblFilesSummary->setText(tr("Listing the files of %1: %2 so far...").arg(m_query.folder).arg(files));
}

void FilesPanel::progress(qsizetype done, qsizetype total, qsizetype searched) {
    if (m_phase == Phase::Searching)
        m_searched = searched;
    prgFiles->setRange(0, int(std::min<qsizetype>(total, INT_MAX)));
    prgFiles->setValue(int(std::min<qsizetype>(done, INT_MAX)));
    lblFilesSummary->setText(
        (m_phase == Phase::Writing ? tr("Replacing: %1 of %2 files...") : tr("Searching: %1 of %2 files..."))
            .arg(done)
            .arg(total));
}

QString FilesPanel::shown(const QString& path) const {
    const QString prefix = folderPrefix(m_query.folder);
    return QDir::toNativeSeparators(path.startsWith(prefix) ? path.mid(prefix.size()) : path);
}

void FilesPanel::found(const std::vector<FileResult>& results) {
    QList<QTreeWidgetItem*> groups;
    for (const FileResult& result : results) {
        const int file = int(m_results.size());
        m_results.push_back(result);
        m_matches += result.count;
        auto* group = new QTreeWidgetItem(
            {QStringLiteral("%1 (%2)").arg(shown(result.path), matchesText(result.count))});
        group->setData(0, kFileRole, file);
        group->setData(0, kMatchRole, -1);
        group->setToolTip(0, result.path);
        m_groups.push_back(group);
        groups << group;
        if (!result.matches.empty())
            m_unlisted.push_back({file, 0});
    }
    // The skipped files stay last.
    const int at = m_skippedRow ? lstFileResults->indexOfTopLevelItem(m_skippedRow)
                                : lstFileResults->topLevelItemCount();
    lstFileResults->insertTopLevelItems(at, groups);
    for (QTreeWidgetItem* group : std::as_const(groups)) {
        group->setFirstColumnSpanned(true);
        group->setExpanded(true);
    }
    if (!m_rowsScheduled)
        listRows();
}

void FilesPanel::listRows() {
    m_rowsScheduled = false;
    int room = kRowsPerSlice;
    while (room > 0 && !m_unlisted.empty()) {
        auto& [file, next] = m_unlisted.front();
        const std::vector<LineMatch>& matches = m_results[std::size_t(file)].matches;
        const int end = std::min(int(matches.size()), next + room);
        QList<QTreeWidgetItem*> rows;
        rows.reserve(end - next);
        for (int i = next; i < end; ++i) {
            const LineMatch& match = matches[std::size_t(i)];
            QString text = match.lineText;
            text.replace(QLatin1Char('\t'), QLatin1Char(' ')); // one column each, as the marks count
            auto* row = new QTreeWidgetItem;
            row->setData(0, Qt::DisplayRole, match.line);
            row->setData(1, Qt::DisplayRole, match.column);
            row->setText(2, text);
            row->setData(0, kFileRole, file);
            row->setData(0, kMatchRole, i);
            row->setData(2, kMarkStartRole, match.markStart);
            row->setData(2, kMarkLengthRole, match.markLength);
            rows << row;
        }
        m_groups[std::size_t(file)]->addChildren(rows);
        room -= end - next;
        next = end;
        if (next == int(matches.size()))
            m_unlisted.pop_front();
    }
    if (!lstFileResults->currentItem() && !m_groups.empty())
        lstFileResults->setCurrentItem(m_groups.front()->childCount() > 0 ? m_groups.front()->child(0)
                                                                          : m_groups.front());
    // The rest after the events waiting meanwhile: a file of thousands of matches never holds the
    // interface up.
    if (!m_unlisted.empty()) {
        m_rowsScheduled = true;
        QTimer::singleShot(0, this, [this, run = m_run] {
            if (run == m_run)
                listRows();
        });
    }
}

void FilesPanel::skipped(const std::vector<SkippedFile>& files) {
    if (!m_skippedRow) {
        m_skippedRow = new QTreeWidgetItem;
        m_skippedRow->setData(0, kMatchRole, -2);
        lstFileResults->addTopLevelItem(m_skippedRow);
        m_skippedRow->setFirstColumnSpanned(true);
    }
    QList<QTreeWidgetItem*> rows;
    for (const SkippedFile& file : files) {
        m_skipped.push_back(file);
        auto* row = new QTreeWidgetItem({file.reason});
        row->setData(0, kMatchRole, -2);
        row->setToolTip(0, file.reason);
        rows << row;
    }
    m_skippedRow->addChildren(rows);
    for (QTreeWidgetItem* row : std::as_const(rows))
        row->setFirstColumnSpanned(true);
    m_skippedRow->setText(0, tr("%1 skipped").arg(filesText(qsizetype(m_skipped.size()))));
}

void FilesPanel::showSummary(const QString& prefix) {
    qsizetype listed = 0;
    for (const FileResult& result : m_results)
        listed += qsizetype(result.matches.size());
    QString summary = prefix;
    summary += m_matches == 0
                   ? tr("No matches")
                   : tr("%1 in %2").arg(matchesText(m_matches), filesText(qsizetype(m_results.size())));
    QStringList notes{tr("%1 searched").arg(filesText(m_searched))};
    if (!m_skipped.empty())
        notes << tr("%1 skipped").arg(filesText(qsizetype(m_skipped.size())));
    summary += QStringLiteral(" (%1).").arg(notes.join(QStringLiteral(", ")));
    if (listed < m_matches)
        summary += tr(" Only the first %1 are listed.").arg(listed);
    lblFilesSummary->setText(summary);
}

void FilesPanel::cancel() {
    if (m_phase == Phase::Writing) {
        m_job.stop(); // the files written so far are reported when the thread ends
        lblFilesSummary->setText(tr("Stopping after the file being written..."));
        return;
    }
    if (m_phase != Phase::Searching)
        return;
    m_job.cancel();
    m_replacing = false;
    setPhase(Phase::Idle);
    showSummary(tr("Cancelled: "));
}

void FilesPanel::waitForDone() {
    const QDeadlineTimer deadline(120000);
    while (busy() && !deadline.hasExpired()) {
        m_job.waitForDone();
        QCoreApplication::processEvents();
    }
}

void FilesPanel::searchFinished() {
    setPhase(Phase::Idle);
    showSummary();
    if (m_replacing) {
        m_replacing = false;
        confirmReplace();
    }
}

void FilesPanel::confirmReplace() {
    QStringList lines;
    for (const FileResult& result : m_results)
        lines << QStringLiteral("%1 (%2)").arg(shown(result.path), matchesText(result.count));
    if (m_results.empty()) {
        Dialogs::instance().message(
            &m_main, MessageBoxTitle(),
            tr("Unable to find \"%1\" in the files of %2.").arg(m_query.find, m_query.folder),
            Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    QString question = tr("Replace %1 in %2 with \"%3\"?\r\n\r\n%4")
                           .arg(matchesText(m_matches), filesText(qsizetype(m_results.size())),
                                m_query.replacement, namedLines(lines));
    if (!m_skipped.empty())
        question += tr("\r\n\r\n%1 skipped and not changed.").arg(filesText(qsizetype(m_skipped.size())));
    question += tr("\r\n\r\nDocuments open in windows are changed there and left unsaved; the other "
                   "files are written.");
    // The files may change, close or open while the question is open: each is looked at again.
    if (Dialogs::instance().message(&m_main, MessageBoxTitle(), question, Dialogs::Buttons::YesNo,
                                    Dialogs::Icon::Question) != Dialogs::Answer::Yes) {
        lblFilesSummary->setText(lblFilesSummary->text() + tr(" Nothing was replaced."));
        return;
    }
    FileReplaceRequest request;
    request.find = m_query.find;
    request.options = m_query.options;
    request.replacement = m_query.replacement;
    request.backupFolder = m_main.programFolder() + QStringLiteral("/recovery");
    m_outcomes.clear();
    for (const FileResult& result : m_results) {
        if (frmNotepad* window = windowOf(m_main, result.path)) {
            m_outcomes.push_back(replaceInWindow(*window, result.path, m_query));
        } else if (result.fromWindow) {
            ReplaceOutcome outcome;
            outcome.path = result.path;
            outcome.failure =
                tr("%1 was closed after it was searched; it was left as it is.").arg(result.path);
            m_outcomes.push_back(outcome);
        } else {
            request.files.emplace_back(result.path, result.stamp);
        }
    }
    m_toWrite = qsizetype(request.files.size());
    m_fromThread = 0;
    if (request.files.empty()) {
        report();
        return;
    }
    setPhase(Phase::Writing);
    prgFiles->setRange(0, int(m_toWrite));
    prgFiles->setValue(0);
    m_job.replace(std::move(request));
}

void FilesPanel::writeFinished() {
    setPhase(Phase::Idle);
    report();
}

void FilesPanel::report() {
    QStringList changed, failed;
    qsizetype replaced = 0;
    for (const ReplaceOutcome& outcome : m_outcomes) {
        if (outcome.changed) {
            replaced += outcome.count;
            changed << QStringLiteral("%1 (%2%3)")
                           .arg(shown(outcome.path), matchesText(outcome.count),
                                outcome.inWindow ? tr(", in its window, unsaved") : QString());
        } else if (!outcome.failure.isEmpty()) {
            failed << outcome.failure;
        }
    }
    QString text = changed.isEmpty()
                       ? tr("No file was changed.")
                       : tr("Replaced %1 in %2:\r\n%3")
                             .arg(matchesText(replaced), filesText(changed.size()), namedLines(changed));
    if (!failed.isEmpty())
        text +=
            tr("\r\n\r\n%1 could not be changed:\r\n%2").arg(filesText(failed.size()), namedLines(failed));
    // The thread tells of every file it reached; those it never reached were stopped.
    const qsizetype stopped = m_toWrite - m_fromThread;
    if (stopped > 0)
        text += tr("\r\n\r\nStopped: %1 left as they were.").arg(filesText(stopped));
    m_toWrite = m_fromThread = 0;
    lblFilesSummary->setText(
        changed.isEmpty() ? tr("No file was changed.")
                          : tr("Replaced %1 in %2.").arg(matchesText(replaced), filesText(changed.size())));
    Dialogs::instance().message(&m_main, MessageBoxTitle(), text, Dialogs::Buttons::Ok,
                                failed.isEmpty() && stopped == 0 ? Dialogs::Icon::Information
                                                                 : Dialogs::Icon::Warning);
}

bool FilesPanel::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the list stops a search that runs; otherwise it goes back to the document.
    if (watched == lstFileResults && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (running())
            cancel();
        else
            FocusCurrentDocument(m_main);
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

void FilesPanel::resultActivated(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int matchIndex = item->data(0, kMatchRole).toInt();
    const int fileIndex = item->data(0, kFileRole).toInt();
    if (matchIndex < -1 || fileIndex < 0 || fileIndex >= int(m_results.size()))
        return;
    const FileResult& result = m_results[std::size_t(fileIndex)];
    const LineMatch* match = matchIndex >= 0           ? &result.matches.at(std::size_t(matchIndex))
                             : !result.matches.empty() ? &result.matches.front()
                                                       : nullptr;
    frmNotepad* window = windowOf(m_main, result.path);
    if (!window) {
        window = OpenDocument(m_main, result.path);
        if (!window)
            return; // the failure has been reported
        m_main.addToRecent(result.path);
    }
    if (window->isMinimized())
        window->showNormal();
    m_main.mdiArea()->setActiveSubWindow(window);
    RichTextControl& text = *window->txtRich;
    window->undoHistory().recordPending();
    if (match) {
        const int at = GoToOffset(text, match->line, match->column);
        // The text may differ from what was searched (edited since, or changed on opening): the
        // match is taken where it was, else the next one on its line, else the place alone.
        const SearchPattern pattern(m_query.find, m_query.options);
        const QString all = text.text();
        PatternMatch found = pattern.matchAt(all, at);
        if (!found.found()) {
            const int line = std::min(match->line, text.lineCount()) - 1;
            const int lineStart = text.lineIndex(line);
            found = pattern.findNext(all, lineStart);
            if (found.found() && found.start > lineStart + text.lineLength(lineStart))
                found = {};
        }
        if (found.found())
            text.select(int(found.start), int(found.length));
        else
            text.setSelStart(at);
    }
    text.setFocus();
}

void frmQuillora::findInFiles(frmNotepad* from) {
    if (!m_files) {
        m_files = new FilesPanel(*this);
        addDockWidget(Qt::BottomDockWidgetArea, m_files);
        m_files->hide(); // shown when a search runs
    }
    m_files->showDialog(from ? from : m_documents.current());
}

FilesPanel* frmQuillora::filesPanel() const {
    return m_files;
}

#include "moc_FilesPanel.cpp"
