#include "wizards/frmList.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/TagDialogsCode.h"
#include "platform/UiHelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmList::frmList(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(tr("Quillor - Lists"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    optNrList = new QRadioButton(tr("Number List"), this);
    optNrList->setObjectName(QStringLiteral("optNrList"));
    optNrList->setChecked(true);
    optDotList = new QRadioButton(tr("Dot List"), this);
    optDotList->setObjectName(QStringLiteral("optDotList"));
    txtNrRows = new QLineEdit(QStringLiteral("1"), this);
    txtNrRows->setObjectName(QStringLiteral("txtNrRows"));
    digitsOnly(*txtNrRows, 4);
    fraExample = new QGroupBox(tr("Example"), this);
    fraExample->setObjectName(QStringLiteral("fraExample"));
    auto* examples = new QVBoxLayout(fraExample);
    for (int i = 0; i < 3; ++i) {
        lblExample[i] = new QLabel(fraExample);
        lblExample[i]->setObjectName(QStringLiteral("lblExample") + QString::number(i));
        examples->addWidget(lblExample[i]);
    }
    cmdAdd = new QPushButton(tr("&Add"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdClose = new QPushButton(tr("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    // Enter is dropped here: no button is pressed by it.
    for (QPushButton* button : {cmdAdd, cmdClose})
        button->setAutoDefault(false);

    auto* rows = new QHBoxLayout;
    rows->addWidget(buddyLabel(txtNrRows, tr("How many rows?")));
    rows->addWidget(txtNrRows);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(optNrList);
    layout->addWidget(optDotList);
    layout->addWidget(fraExample);
    layout->addLayout(buttons);

    setTabChain({txtNrRows, optNrList, optDotList, cmdAdd, cmdClose});

    connect(optNrList, &QRadioButton::toggled, this, &frmList::optList_Click);
    connect(txtNrRows, &QLineEdit::textChanged, this, &frmList::txtNrRows_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmList::cmdAdd_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmList::cmdClose_Click);
    optList_Click();
    txtNrRows_Change();
    txtNrRows->setFocus();
}

void frmList::optList_Click() {
    for (int i = 0; i < 3; ++i)
        lblExample[i]->setText(optNrList->isChecked() ? QString::number(i + 1) + tr(" Example")
                                                      : tr("* Example"));
}

void frmList::txtNrRows_Change() {
    // No list of nothing: a count of 0 (also "00" pasted) empties the box.
    if (!txtNrRows->text().isEmpty() && txtNrRows->text().toInt() == 0)
        txtNrRows->clear();
    cmdAdd->setEnabled(!txtNrRows->text().isEmpty());
}

void frmList::cmdAdd_Click() {
    EditableDocument* document = m_host.documents().currentEditable();
    const int rows = txtNrRows->text().toInt();
    if (!document || rows <= 0)
        return;
    document->InsertAtCursor(BuildListCode(optNrList->isChecked(), rows, m_host.settings().Indent));
}

void frmList::cmdClose_Click() {
    close();
    FocusCurrentDocument(m_host);
}

#include "moc_frmList.cpp"
