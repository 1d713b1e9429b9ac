#include "wizards/frmFont.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/TagDialogsCode.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "wizards/WizardHelpers.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmFont::frmFont(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmFont"));
    setWindowTitle(tr("Quillora - Font"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    txtSize = new QLineEdit(this);
    txtSize->setObjectName(QStringLiteral("txtSize"));
    digitsOnly(*txtSize, 3);
    cmbFonts = new QComboBox(this);
    cmbFonts->setObjectName(QStringLiteral("cmbFonts"));
    cmbFonts->setEditable(true);
    cmbFonts->setInsertPolicy(QComboBox::NoInsert);
    cmbFonts->addItems(QFontDatabase::families());
    cmbFonts->setCurrentIndex(-1); // no face chosen: none is written
    txtColor = new QLineEdit(this);
    txtColor->setObjectName(QStringLiteral("txtColor"));
    openColorOnDoubleClick(*txtColor, m_host, tr("Doubleclick to select a color!"));
    cmdOK = new QPushButton(tr("&Add"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(tr("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter is dropped here: no button is pressed by it.
    for (QPushButton* button : {cmdOK, cmdCancel})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(buddyLabel(txtSize, tr("Font Size:")), 0, 0);
    grid->addWidget(txtSize, 0, 1);
    grid->addWidget(new QLabel(tr("( 1 to 7 )"), this), 0, 2);
    grid->addWidget(buddyLabel(cmbFonts, tr("Font Face:")), 1, 0);
    grid->addWidget(cmbFonts, 1, 1, 1, 2);
    grid->addWidget(buddyLabel(txtColor, tr("Font Color:")), 2, 0);
    grid->addWidget(txtColor, 2, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabChain({txtSize, cmbFonts, txtColor, cmdOK, cmdCancel});

    connect(cmbFonts, &QComboBox::currentIndexChanged, this, &frmFont::cmbFonts_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFont::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFont::cmdCancel_Click);
    txtSize->setFocus();
}

void frmFont::cmbFonts_Click(int index) {
    // The box shows the chosen face itself.
    if (index >= 0)
        cmbFonts->setFont(QFont(cmbFonts->itemText(index), 8));
}

void frmFont::cmdOK_Click() {
    EditableDocument* document = m_host.documents().currentEditable();
    if (!document)
        return;
    const QString start = BuildFontTag(txtSize->text(), cmbFonts->currentText().trimmed(), txtColor->text());
    document->InsertAtCursor(start + document->text().selText() + QStringLiteral("</FONT>"));
}

void frmFont::cmdCancel_Click() {
    close();
    FocusCurrentDocument(m_host);
}

#include "moc_frmFont.cpp"
