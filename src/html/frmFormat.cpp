#include "html/frmFormat.h"

#include "editor/Colorizer.h"
#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "html/TagCommands.h"
#include "markup/TagCase.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The lines of "formats.txt", offered in every list after the built-in entries.
QStringList readFormats(const QString& path) {
    QByteArray bytes;
    QString reason;
    if (!ReadRegularFile(path, kMaxDataFileBytes, bytes, reason, Links::Refuse))
        return {};
    return SplitLines(QString::fromUtf8(bytes));
}

QComboBox* formatList(QWidget* parent, const char* name, const QStringList& entries,
                      const QStringList& formats) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItem(QString());
    combo->addItems(entries);
    combo->addItems(formats);
    combo->setCurrentIndex(0);
    return combo;
}

} // namespace

frmFormat::frmFormat(EditableDocument& document, const QString& formatsPath, QWidget* parent)
    : QDialog(parent), m_document(document) {
    setObjectName(QStringLiteral("frmFormat"));
    setWindowTitle(tr("Format"));
    setModal(true);
    chkAllLcase = new QCheckBox(tr("All HTML commands lowercase!"), this);
    chkAllLcase->setObjectName(QStringLiteral("chkAllLcase"));
    chkAllUcase = new QCheckBox(tr("All HTML commands UPPERCASE!"), this);
    chkAllUcase->setObjectName(QStringLiteral("chkAllUcase"));
    chkRemoveAll = new QCheckBox(tr("Remove all HTML commands!"), this);
    chkRemoveAll->setObjectName(QStringLiteral("chkRemoveAll"));

    const QStringList formats = readFormats(formatsPath);
    const QString quote(QLatin1Char('"'));
    cmbStart = formatList(this, "cmbStart",
                          {"<B>", "<BR>", "<CENTER>", "<I>", "<OL>", "<STRIKE>", "<U>", "<UL>"}, formats);
    cmbEnd =
        formatList(this, "cmbEnd",
                   {"</B>", "</CENTER>", "</I>", "</OL>", "</STRIKE>", "</U>", "</UL>", "<BR>"}, formats);
    cmbStartLine = formatList(this, "cmbStartLine",
                              {"<A HREF=" + quote, "<B>", "<BR>", "<CENTER>", "<I>", "<LI>", "<U>"}, formats);
    cmbEndLine = formatList(this, "cmbEndLine",
                            {quote + "></A>", "</B>", "</CENTER>", "</I>", "</LI>", "</U>", "<BR>"}, formats);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* lists = new QFormLayout;
    lists->addRow(tr("Start command:"), cmbStart);
    lists->addRow(tr("End command:"), cmbEnd);
    lists->addRow(tr("Text to add in the beginning of each line:"), cmbStartLine);
    lists->addRow(tr("Text to add in the end of each line:"), cmbEndLine);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* option : {chkAllLcase, chkAllUcase, chkRemoveAll}) {
        layout->addWidget(option);
        connect(option, &QCheckBox::toggled, this, &frmFormat::tagOptionToggled);
    }
    layout->addLayout(lists);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmFormat::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    chkAllLcase->setFocus();
}

void frmFormat::run(DocumentHost& host, EditableDocument& document) {
    if (document.text().selLength() == 0) {
        Dialogs::instance().message(host.dialogParent(), MessageBoxTitle(),
                                    tr("There is no text selected!\r\nPlease select the text you want "
                                       "to format."),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    frmFormat dialog(document, host.programFolder() + QStringLiteral("/formats.txt"), host.dialogParent());
    dialog.exec();
}

void frmFormat::tagOptionToggled() {
    // One of four things: a tag option excludes the others and the texts.
    auto* ticked = qobject_cast<QCheckBox*>(sender());
    const bool on = ticked && ticked->isChecked();
    for (QCheckBox* option : {chkAllLcase, chkAllUcase, chkRemoveAll}) {
        if (option == ticked)
            continue;
        if (on) {
            const QSignalBlocker quiet(option);
            option->setChecked(false);
        }
        option->setEnabled(!on);
    }
    for (QComboBox* list : {cmbStart, cmbEnd, cmbStartLine, cmbEndLine})
        list->setEnabled(!on);
}

void frmFormat::cmdOK_Click() {
    RichTextControl& control = m_document.text();
    const QString selected = control.selText();
    const int at = control.selStart();
    const bool caseChange = chkAllLcase->isChecked() || chkAllUcase->isChecked();
    QString text;
    if (caseChange || chkRemoveAll->isChecked()) {
        text = chkAllLcase->isChecked()   ? LowerTags(selected)
               : chkAllUcase->isChecked() ? UpperTags(selected)
                                          : RemoveTags(selected);
    } else {
        const QStringList texts{cmbStart->currentText(), cmbEnd->currentText(), cmbStartLine->currentText(),
                                cmbEndLine->currentText()};
        if (std::all_of(texts.begin(), texts.end(), [](const QString& t) { return t.isEmpty(); }))
            return; // nothing chosen: the dialog stays open
        text = FormatLines(selected, texts[0], texts[1], texts[2], texts[3]);
    }
    m_document.ReplaceSelection(text);
    const int length = control.selStart() - at;
    // Without tags nothing is left to colour; removing them always leaves text colour. An empty
    // result recolours nothing.
    if (length > 0 && m_document.usesColors() && !chkRemoveAll->isChecked())
        ColorizeRange(control, m_document.colorRoles(), at + 1, length, m_document.stateHooks());
    else if (length > 0)
        ClearColors(control, m_document.colorRoles(), at, length, m_document.stateHooks());
    control.setSelStart(at + length);
    accept();
}

#include "moc_frmFormat.cpp"
