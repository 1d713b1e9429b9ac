#include "app/LinksPanel.h"

#include "app/frmQuillora.h"
#include "editor/Search.h"
#include "editor/frmNotepad.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// The filter's entries: the broken kinds together, then each kind on its own.
const char* const kFilters[] = {QT_TRANSLATE_NOOP("LinksPanel", "All problems"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Missing files"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Wrong letter case"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Bad fragments"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Outside the folder"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Remote (not checked)"),
                                QT_TRANSLATE_NOOP("LinksPanel", "Pages not read")};
static_assert(std::size(kFilters) == kLinkProblemKinds + 1);

bool broken(LinkProblemKind kind) {
    return kind != LinkProblemKind::Remote && kind != LinkProblemKind::NotRead;
}

} // namespace

LinksPanel::LinksPanel(frmQuillora& main) : QDockWidget(tr("Check Links"), &main), m_main(main) {
    setObjectName(QStringLiteral("dockLinks"));
    auto* body = new QWidget(this);
    cmbLinksFilter = new QComboBox(body);
    cmbLinksFilter->setObjectName(QStringLiteral("cmbLinksFilter"));
    for (const char* filter : kFilters)
        cmbLinksFilter->addItem(tr(filter));
    cmdCancelLinks = new QPushButton(tr("Cancel"), body);
    cmdCancelLinks->setObjectName(QStringLiteral("cmdCancelLinks"));
    cmdCancelLinks->setEnabled(false);
    prgLinks = new QProgressBar(body);
    prgLinks->setObjectName(QStringLiteral("prgLinks"));
    prgLinks->setVisible(false);
    lblLinksSummary = new QLabel(body);
    lblLinksSummary->setObjectName(QStringLiteral("lblLinksSummary"));
    lblLinksSummary->setTextFormat(Qt::PlainText); // file names are shown as they are
    lstLinks = new QTreeWidget(body);
    lstLinks->setObjectName(QStringLiteral("lstLinks"));
    lstLinks->setHeaderLabels({tr("File"), tr("Line"), tr("Column"), tr("Reference"), tr("Problem")});
    lstLinks->setRootIsDecorated(false);
    lstLinks->setUniformRowHeights(true);
    lstLinks->header()->setStretchLastSection(true);
    lstLinks->setSortingEnabled(true);
    lstLinks->sortByColumn(0, Qt::AscendingOrder);

    auto* options = new QHBoxLayout;
    auto* show = new QLabel(tr("&Show:"), body);
    show->setBuddy(cmbLinksFilter);
    options->addWidget(show);
    options->addWidget(cmbLinksFilter);
    options->addWidget(cmdCancelLinks);
    options->addWidget(prgLinks);
    options->addWidget(lblLinksSummary, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(options);
    layout->addWidget(lstLinks);
    setWidget(body);
    setFocusProxy(lstLinks);

    connect(cmbLinksFilter, &QComboBox::currentIndexChanged, this, &LinksPanel::showProblems);
    connect(cmdCancelLinks, &QPushButton::clicked, this, &LinksPanel::cancel);
    // A double click or Enter on a row goes to its place.
    connect(lstLinks, &QTreeWidget::itemActivated, this, &LinksPanel::problemActivated);
    connect(&m_job, &LinkCheckJob::progress, this, &LinksPanel::progressed);
    connect(&m_job, &LinkCheckJob::finished, this, &LinksPanel::finished);
}

LinksPanel::~LinksPanel() {
    setBusy(false); // the job stops its check as it goes
}

void LinksPanel::setBusy(bool busy) {
    cmdCancelLinks->setEnabled(busy);
    prgLinks->setVisible(busy);
    // The program's cursor says a check is under way, once however often this is called.
    if (std::exchange(m_busyCursor, busy) == busy)
        return;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void LinksPanel::check(const QString& folder) {
    m_report = LinkReport{};
    lstLinks->clear();
    setWindowTitle(tr("Check Links: ") + QDir::toNativeSeparators(folder));
    lblLinksSummary->setText(tr("Listing the folders..."));
    prgLinks->setRange(0, 0);
    show();
    raise();
    lstLinks->setFocus();
    setBusy(true);
    m_job.start(folder);
}

void LinksPanel::cancel() {
    if (!running())
        return;
    m_job.cancel();
    setBusy(false);
    lblLinksSummary->setText(tr("Cancelled."));
}

void LinksPanel::waitForDone() {
    m_job.waitForDone();
}

void LinksPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape)
        return QDockWidget::keyPressEvent(event);
    if (running())
        cancel();
    else
        FocusCurrentDocument(m_main);
}

void LinksPanel::progressed(int done, int total) {
    if (total == 0)
        return; // still listing the folders
    prgLinks->setRange(0, total);
    prgLinks->setValue(done);
    lblLinksSummary->setText(tr("Checking page %1 of %2...").arg(std::min(done + 1, total)).arg(total));
}

void LinksPanel::finished(const LinkReport& report) {
    setBusy(false);
    m_report = report;
    lblLinksSummary->setText(LinkSummary(m_report));
    showProblems();
}

void LinksPanel::showProblems() {
    // The row the keyboard is on stays current when the filter still shows it, else the first is.
    const QTreeWidgetItem* wasCurrent = lstLinks->currentItem();
    const int current = wasCurrent ? wasCurrent->data(0, Qt::UserRole).toInt() : -1;
    lstLinks->clear();
    const int filter = cmbLinksFilter->currentIndex();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t i = 0; i < m_report.problems.size(); ++i) {
        const LinkProblem& problem = m_report.problems[i];
        if (filter == 0 ? !broken(problem.kind) : int(problem.kind) != filter - 1)
            continue;
        auto* row = new QTreeWidgetItem(
            {QDir::toNativeSeparators(problem.file), QString(), QString(), problem.reference, problem.text});
        if (problem.start.line > 0) {
            // Numbers, so that line 10 sorts after line 9.
            row->setData(1, Qt::DisplayRole, problem.start.line);
            row->setData(2, Qt::DisplayRole, problem.start.column);
        }
        row->setData(0, Qt::UserRole, int(i));
        rows << row;
    }
    // Added unsorted, then sorted stably: a file's rows stay in the order of their places.
    lstLinks->setSortingEnabled(false);
    lstLinks->addTopLevelItems(rows);
    lstLinks->setSortingEnabled(true);
    if (rows.isEmpty())
        return;
    const auto kept = std::find_if(rows.begin(), rows.end(), [current](const QTreeWidgetItem* row) {
        return row->data(0, Qt::UserRole).toInt() == current;
    });
    lstLinks->setCurrentItem(kept != rows.end() ? *kept : lstLinks->topLevelItem(0));
}

void LinksPanel::problemActivated(QTreeWidgetItem* item) {
    if (!item)
        return;
    const LinkProblem& problem = m_report.problems.at(std::size_t(item->data(0, Qt::UserRole).toInt()));
    // The page's window when it is open, else the page opened (a failure is reported there).
    frmNotepad* document = nullptr;
    const DocumentTable& table = m_main.documents();
    for (int slot = 0; slot < table.slotCount() && !document; ++slot)
        if (!table.DocumentSlots[slot].Free && table.DocumentSlots[slot].PathCaption == problem.page)
            document = table.Documents[slot];
    if (!document)
        document = OpenDocument(m_main, problem.page);
    if (!document)
        return;
    if (document->isMinimized())
        document->showNormal();
    m_main.mdiArea()->setActiveSubWindow(document);
    RichTextControl& text = *document->txtRich;
    document->undoHistory().recordPending();
    // By line and column, as the window may show the file with other line breaks than it has.
    const int start = GoToOffset(text, problem.start.line, problem.start.column);
    text.select(start, std::max(0, GoToOffset(text, problem.end.line, problem.end.column) - start));
    text.setFocus();
}

void frmQuillora::checkLinks(frmNotepad* from) {
    QString start;
    if (from) {
        const QString path = documents().DocumentSlots[from->slot()].PathCaption;
        if (!path.isEmpty())
            start = QFileInfo(path).absolutePath();
    }
    if (start.isEmpty())
        start = dialogFolder();
    const QString folder =
        Dialogs::instance().chooseFolder(this, tr("Check the links of the pages below:"), start);
    if (folder.isEmpty())
        return;
    if (!m_links) {
        m_links = new LinksPanel(*this);
        addDockWidget(Qt::BottomDockWidgetArea, m_links);
        // Beside the other panels at the bottom, not squeezed under them.
        for (QDockWidget* other : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (other != m_links && dockWidgetArea(other) == Qt::BottomDockWidgetArea &&
                !other->isFloating()) {
                tabifyDockWidget(other, m_links);
                break;
            }
    }
    m_links->check(folder);
}

LinksPanel* frmQuillora::linksPanel() const {
    return m_links;
}

#include "moc_LinksPanel.cpp"
