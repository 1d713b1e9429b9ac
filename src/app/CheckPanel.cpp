#include "app/CheckPanel.h"

#include "app/SettingsIO.h"
#include "app/frmQuillora.h"
#include "editor/Search.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QString severityName(HtmlSeverity severity) {
    switch (severity) {
    case HtmlSeverity::Error:
        return QCoreApplication::translate("CheckPanel", "error");
    case HtmlSeverity::Warning:
        return QCoreApplication::translate("CheckPanel", "warning");
    case HtmlSeverity::Access:
        return QCoreApplication::translate("CheckPanel", "access");
    }
    return {};
}

} // namespace

CheckPanel::CheckPanel(frmQuillora& main) : QDockWidget(tr("Check HTML"), &main), m_main(main) {
    setObjectName(QStringLiteral("dockCheck"));
    auto* body = new QWidget(this);
    cmbSeverity = new QComboBox(body);
    cmbSeverity->setObjectName(QStringLiteral("cmbSeverity"));
    cmbSeverity->addItems({tr("All"), tr("Errors"), tr("Warnings"), tr("Access")});
    chkHtml5 = new QCheckBox(tr("Check as HTML5"), body);
    chkHtml5->setObjectName(QStringLiteral("chkHtml5"));
    chkHtml5->setChecked(main.settings().CheckHtml5);
    chkAccessibility = new QCheckBox(tr("Accessibility messages"), body);
    chkAccessibility->setObjectName(QStringLiteral("chkAccessibility"));
    chkAccessibility->setChecked(main.settings().CheckAccessibility);
    cmdCancel = new QPushButton(tr("Cancel"), body);
    cmdCancel->setObjectName(QStringLiteral("cmdCancelCheck"));
    cmdCancel->setEnabled(false);
    lblSummary = new QLabel(body);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lstProblems = new QTreeWidget(body);
    lstProblems->setObjectName(QStringLiteral("lstProblems"));
    lstProblems->setHeaderLabels({tr("Line"), tr("Column"), tr("Severity"), tr("Message")});
    lstProblems->setRootIsDecorated(false);
    lstProblems->setUniformRowHeights(true);
    lstProblems->header()->setStretchLastSection(true);
    // Rows come in line order; a click on a column's header sorts by that column.
    lstProblems->setSortingEnabled(true);
    lstProblems->sortByColumn(0, Qt::AscendingOrder);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(tr("Show:"), body));
    options->addWidget(cmbSeverity);
    options->addWidget(chkHtml5);
    options->addWidget(chkAccessibility);
    options->addWidget(cmdCancel);
    options->addWidget(lblSummary, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(options);
    layout->addWidget(lstProblems);
    setWidget(body);

    connect(cmbSeverity, &QComboBox::currentIndexChanged, this, &CheckPanel::showProblems);
    // The choices are settings: kept with the others for the next run.
    const auto store = [this] {
        Settings& settings = m_main.mutableSettings();
        settings.CheckHtml5 = chkHtml5->isChecked();
        settings.CheckAccessibility = chkAccessibility->isChecked();
        SaveSettings(settings);
    };
    connect(chkHtml5, &QCheckBox::toggled, this, store);
    connect(chkAccessibility, &QCheckBox::toggled, this, store);
    connect(cmdCancel, &QPushButton::clicked, this, &CheckPanel::cancel);
    // A double click or Enter on a row goes to its place.
    connect(lstProblems, &QTreeWidget::itemActivated, this, &CheckPanel::problemActivated);
    connect(&m_job, &HtmlCheckJob::finished, this, &CheckPanel::finished);
}

CheckPanel::~CheckPanel() {
    // No check outlives the window: a running one is stopped, not waited for.
    m_job.cancel();
    setBusy(false);
}

void CheckPanel::waitForDone() {
    m_job.waitForDone();
    QCoreApplication::sendPostedEvents(this); // the result, when it came
}

void CheckPanel::setBusy(bool busy) {
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    cmdCancel->setEnabled(busy);
}

void CheckPanel::check(frmNotepad& document) {
    const DocumentSlot& record = m_main.documents().DocumentSlots[document.slot()];
    if (!IsHtmlDocument(record.PathCaption.isEmpty() ? document.windowTitle() : record.PathCaption)) {
        Dialogs::instance().message(&m_main, MessageBoxTitle(), tr("Check HTML works on HTML documents."),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    // The earlier check's results are not wanted any more: it is stopped.
    m_job.cancel();
    clear();
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    disconnect(m_changes);
    m_document = &document;
    // Results belong to their document: closing it clears them, changing it makes them stale,
    // saving it checks it again.
    connect(&document, &QObject::destroyed, this, &CheckPanel::clear);
    connect(&document, &frmNotepad::saved, this, &CheckPanel::documentSaved);
    m_changes = connect(document.txtRich, &RichTextControl::change, this, &CheckPanel::textChanged);
    lblSummary->setText(tr("Checking..."));
    show();
    raise();
    setBusy(true);
    m_job.start(document.txtRich->text(), {chkHtml5->isChecked(), chkAccessibility->isChecked()});
}

void CheckPanel::cancel() {
    if (!running())
        return;
    m_job.cancel();
    setBusy(false);
    lblSummary->setText(tr("Cancelled."));
}

void CheckPanel::textChanged() {
    if (m_stale)
        return;
    m_stale = true;
    disconnect(m_changes); // one change is enough to know
    if (m_hasResults)
        showStale();
}

void CheckPanel::showStale() {
    lblSummary->setText(tr("The text has changed since this check."));
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (int row = 0; row < lstProblems->topLevelItemCount(); ++row)
        for (int column = 0; column < lstProblems->columnCount(); ++column)
            lstProblems->topLevelItem(row)->setForeground(column, grey);
}

void CheckPanel::documentSaved() {
    // Only results on show are brought up to date: a cancelled or hidden check stays so.
    if (m_document && m_hasResults && isVisible())
        check(*m_document);
}

void CheckPanel::finished(const std::vector<HtmlProblem>& problems, const QString& failure) {
    setBusy(false);
    if (!m_document)
        return;
    m_problems = problems;
    std::stable_sort(m_problems.begin(), m_problems.end(), [](const HtmlProblem& a, const HtmlProblem& b) {
        return std::pair(a.line, a.column) < std::pair(b.line, b.column);
    });
    m_hasResults = failure.isEmpty(); // a failure's reason stays on show
    lblSummary->setText(failure.isEmpty() ? ProblemSummary(m_problems) : failure);
    showProblems();
}

void CheckPanel::showProblems() {
    lstProblems->clear();
    const int filter = cmbSeverity->currentIndex();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t i = 0; i < m_problems.size(); ++i) {
        const HtmlProblem& problem = m_problems[i];
        if (filter > 0 && static_cast<int>(problem.severity) != filter - 1)
            continue;
        auto* row = new QTreeWidgetItem({QString(), QString(), severityName(problem.severity), problem.text});
        // Numbers, so that line 10 sorts after line 9.
        row->setData(0, Qt::DisplayRole, problem.line);
        row->setData(1, Qt::DisplayRole, problem.column);
        row->setData(0, Qt::UserRole, static_cast<int>(i));
        rows << row;
    }
    // Added unsorted, then sorted stably: rows that tie on the sort column (one line's problems) keep
    // the problems' order instead of coming out reversed.
    lstProblems->setSortingEnabled(false);
    lstProblems->addTopLevelItems(rows);
    lstProblems->setSortingEnabled(true);
    if (m_stale && m_hasResults)
        showStale();
}

void CheckPanel::clear() {
    m_stale = false;
    m_hasResults = false;
    m_problems.clear();
    lstProblems->clear();
    lblSummary->clear();
}

void CheckPanel::problemActivated(QTreeWidgetItem* item) {
    if (!item || !m_document)
        return;
    const HtmlProblem& problem = m_problems.at(static_cast<std::size_t>(item->data(0, Qt::UserRole).toInt()));
    frmNotepad* document = m_document;
    if (document->isMinimized())
        document->showNormal();
    m_main.mdiArea()->setActiveSubWindow(document);
    // The same place Go To finds for that line and character.
    document->undoHistory().recordPending();
    document->txtRich->setSelStart(GoToOffset(*document->txtRich, problem.line, problem.column));
    document->txtRich->setFocus();
}

#include "moc_CheckPanel.cpp"
