#include "editor/frmFindInFiles.h"

#include "editor/DocumentHost.h"
#include "editor/frmFind.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A selection longer than this, or over several lines, is not taken as the find text.
constexpr int kLongestSelectedFind = 200;

QComboBox* textCombo(QWidget* parent, const char* name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    // Enter presses the default button instead of adding an entry.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(320);
    return combo;
}

} // namespace

frmFindInFiles::frmFindInFiles(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmFindInFiles"));
    setWindowTitle(tr("Quillora - Find in Files"));
    setModal(false);
    buildControls();
    updateButtons();
}

QString frmFindInFiles::defaultFilter() {
    return QStringLiteral("*.htm;*.html;*.css;*.js;*.php;*.asp;*.pl;*.txt;*.xml");
}

void frmFindInFiles::buildControls() {
    cmbFindFiles = textCombo(this, "cmbFindFiles");
    cmbReplaceFiles = textCombo(this, "cmbReplaceFiles");
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    cmdBrowse = new QPushButton(tr("&Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setAutoDefault(false);
    cmbFilter = textCombo(this, "cmbFilter");
    cmbFilter->addItems({defaultFilter(), QStringLiteral("*.htm;*.html"), QStringLiteral("*.css"),
                         QStringLiteral("*.js"), QStringLiteral("*")});
    cmbFilter->setCurrentIndex(0);

    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* caption = new QLabel(text, this);
        caption->setBuddy(buddy);
        return caption;
    };
    chkCase = new QCheckBox(tr("Match case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkWholeWord = new QCheckBox(tr("Whole word"), this);
    chkWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    chkRegex = new QCheckBox(tr("Regular expression"), this);
    chkRegex->setObjectName(QStringLiteral("chkRegex"));
    chkHidden = new QCheckBox(tr("Include hidden folders"), this);
    chkHidden->setObjectName(QStringLiteral("chkHidden"));

    cmdFindAll = new QPushButton(tr("Find All"), this);
    cmdFindAll->setObjectName(QStringLiteral("cmdFindAll"));
    cmdFindAll->setDefault(true);
    cmdReplaceAll = new QPushButton(tr("Replace All"), this);
    cmdReplaceAll->setObjectName(QStringLiteral("cmdReplaceAll"));
    cmdClose = new QPushButton(tr("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout;
    grid->addWidget(label(tr("Fi&nd what:"), cmbFindFiles), 0, 0);
    grid->addWidget(cmbFindFiles, 0, 1, 1, 2);
    grid->addWidget(label(tr("Re&place with:"), cmbReplaceFiles), 1, 0);
    grid->addWidget(cmbReplaceFiles, 1, 1, 1, 2);
    grid->addWidget(label(tr("F&older:"), txtFolder), 2, 0);
    grid->addWidget(txtFolder, 2, 1);
    grid->addWidget(cmdBrowse, 2, 2);
    grid->addWidget(label(tr("File &types:"), cmbFilter), 3, 0);
    grid->addWidget(cmbFilter, 3, 1, 1, 2);
    auto* options = new QGridLayout;
    options->addWidget(chkCase, 0, 0);
    options->addWidget(chkWholeWord, 0, 1);
    options->addWidget(chkRegex, 1, 0);
    options->addWidget(chkHidden, 1, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(options);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdFindAll);
    buttons->addWidget(cmdReplaceAll);
    buttons->addWidget(cmdClose);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    QWidget* order[] = {cmbFindFiles, cmbReplaceFiles, txtFolder, cmdBrowse,  cmbFilter,     chkCase,
                        chkWholeWord, chkRegex,        chkHidden, cmdFindAll, cmdReplaceAll, cmdClose};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmbFindFiles, &QComboBox::currentTextChanged, this, &frmFindInFiles::updateButtons);
    connect(cmdFindAll, &QPushButton::clicked, this, &frmFindInFiles::cmdFindAll_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &frmFindInFiles::cmdReplaceAll_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmFindInFiles::cmdBrowse_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmFindInFiles::cmdClose_Click);
}

void frmFindInFiles::updateButtons() {
    const bool hasText = !cmbFindFiles->currentText().isEmpty();
    cmdFindAll->setEnabled(hasText);
    cmdReplaceAll->setEnabled(hasText);
}

void frmFindInFiles::showFor(frmNotepad* from) {
    QString folder;
    if (from && m_host.documents().holds(from->slot())) {
        const QString& path = m_host.documents().DocumentSlots[from->slot()].PathCaption;
        if (!path.isEmpty())
            folder = QFileInfo(path).absolutePath();
        const QString selected = from->txtRich->selText();
        if (!selected.isEmpty() && selected.size() <= kLongestSelectedFind && !selected.contains(u'\r') &&
            !selected.contains(u'\n'))
            cmbFindFiles->setCurrentText(chkRegex->isChecked() ? QRegularExpression::escape(selected)
                                                               : selected);
    }
    if (folder.isEmpty())
        folder = m_host.dialogFolder();
    txtFolder->setText(QDir::toNativeSeparators(folder));
    show();
    raise();
    activateWindow();
}

void frmFindInFiles::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    cmbFindFiles->setFocus();
    cmbFindFiles->lineEdit()->selectAll();
}

void frmFindInFiles::reject() {
    hide();
}

void frmFindInFiles::cmdClose_Click() {
    hide();
}

void frmFindInFiles::cmdBrowse_Click() {
    const QString chosen = Dialogs::instance().chooseFolder(this, tr("Folder to search"), query().folder);
    if (!chosen.isEmpty())
        txtFolder->setText(QDir::toNativeSeparators(chosen));
    txtFolder->setFocus();
}

FilesQuery frmFindInFiles::query() const {
    FilesQuery query;
    QString folder = txtFolder->text().trimmed();
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    if (!folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
    query.folder = folder;
    query.filter = cmbFilter->currentText().trimmed();
    query.find = cmbFindFiles->currentText();
    query.replacement = cmbReplaceFiles->currentText();
    query.options = {chkCase->isChecked(), chkRegex->isChecked(), chkWholeWord->isChecked()};
    query.hiddenFolders = chkHidden->isChecked();
    return query;
}

void frmFindInFiles::tell(const QString& text) {
    Dialogs::instance().message(this, MessageBoxTitle(), text, Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

bool frmFindInFiles::checkedQuery(FilesQuery& query) {
    query = this->query();
    if (query.find.isEmpty())
        return false;
    if (query.folder.isEmpty()) {
        tell(tr("Choose the folder to search."));
        txtFolder->setFocus();
        return false;
    }
    if (!QFileInfo(query.folder).isDir()) {
        tell(tr("The folder %1 does not exist.").arg(query.folder));
        txtFolder->setFocus();
        return false;
    }
    if (const SearchPattern pattern(query.find, query.options); !pattern.isValid()) {
        tell(pattern.errorMessage());
        cmbFindFiles->setFocus();
        return false;
    }
    frmFind::addToHistory(cmbFindFiles, query.find);
    frmFind::addToHistory(cmbFilter, query.filter);
    return true;
}

void frmFindInFiles::cmdFindAll_Click() {
    FilesQuery query;
    if (!checkedQuery(query))
        return;
    hide();
    emit findAll(query);
}

void frmFindInFiles::cmdReplaceAll_Click() {
    FilesQuery query;
    if (!checkedQuery(query))
        return;
    frmFind::addToHistory(cmbReplaceFiles, query.replacement);
    hide();
    emit replaceAll(query);
}

#include "moc_frmFindInFiles.cpp"
