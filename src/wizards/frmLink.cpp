#include "wizards/frmLink.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/TagDialogsCode.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmLink::frmLink(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmLink"));
    setWindowTitle(tr("Quillora - Link"));
    setAttribute(Qt::WA_DeleteOnClose);

    const auto combo = [this](const char* name, const QStringList& entries) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(entries);
        return box;
    };
    cmbProtocol = combo("cmbProtocol", {"http://", "ftp://", "mailto:"});
    cmbTarget = combo("cmbTarget", {"_blank", "_parent", "_self", "_top"});
    cmbTarget->setCurrentIndex(-1);
    cmbProtocol->setMinimumContentsLength(8); // wide enough for "mailto:" beside the address
    cmbProtocol->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    const auto box = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    txtURL = box("txtURL");
    txtName = box("txtName");
    txtPicture = box("txtPicture");
    for (QLineEdit* edit : {txtURL, txtName})
        edit->installEventFilter(this);
    chkPicture = new QCheckBox(tr("Picture: "), this);
    chkPicture->setObjectName(QStringLiteral("chkPicture"));
    chkBR = new QCheckBox(QStringLiteral("<BR>"), this);
    chkBR->setObjectName(QStringLiteral("chkBR"));
    chkBR->setToolTip(tr("Add <BR> after the link"));
    const auto button = [this](const char* name, const char* caption) {
        auto* push = new QPushButton(tr(caption), this);
        push->setObjectName(QLatin1String(name));
        return push;
    };
    cmdBrowseFile = button("cmdBrowseFile", QT_TR_NOOP("Browse..."));
    cmdBrowsePic = button("cmdBrowsePic", QT_TR_NOOP("Browse..."));
    cmdAdd = button("cmdAdd", QT_TR_NOOP("Add"));
    cmdAdd->setDefault(true);
    cmdClose = button("cmdClose", QT_TR_NOOP("Close"));

    auto* grid = new QGridLayout;
    grid->addWidget(buddyLabel(txtURL, tr("URL:")), 0, 0);
    cmbProtocol->setAccessibleName(tr("Protocol"));
    auto* address = new QHBoxLayout;
    address->addWidget(cmbProtocol);
    address->addWidget(txtURL, 1);
    grid->addLayout(address, 0, 1);
    grid->addWidget(cmdBrowseFile, 0, 2);
    grid->addWidget(buddyLabel(txtName, tr("Name:")), 1, 0);
    grid->addWidget(txtName, 1, 1, 1, 2);
    grid->addWidget(buddyLabel(cmbTarget, tr("Target (frame):")), 2, 0);
    grid->addWidget(cmbTarget, 2, 1, 1, 2);
    txtPicture->setAccessibleName(tr("Picture")); // the check box is its label
    grid->addWidget(chkPicture, 3, 0);
    grid->addWidget(txtPicture, 3, 1);
    grid->addWidget(cmdBrowsePic, 3, 2);
    grid->addWidget(chkBR, 4, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabChain({cmbProtocol, txtURL, cmdBrowseFile, txtName, cmbTarget, chkPicture, txtPicture, cmdBrowsePic,
                 chkBR, cmdAdd, cmdClose});

    connect(chkPicture, &QCheckBox::toggled, this, &frmLink::chkPicture_Click);
    connect(cmdBrowseFile, &QPushButton::clicked, this, &frmLink::cmdBrowseFile_Click);
    connect(cmdBrowsePic, &QPushButton::clicked, this, &frmLink::cmdBrowsePic_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmLink::cmdAdd_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmLink::cmdClose_Click);
    chkPicture_Click();
    Form_Load();
    cmbProtocol->setFocus();
}

void frmLink::Form_Load() {
    EditableDocument* document = m_host.documents().currentEditable();
    const LinkFields fields = ReadLinkSelection(document ? document->text().selText() : QString());
    cmbProtocol->setEditText(fields.protocol);
    txtURL->setText(fields.url);
    txtName->setText(fields.name);
}

void frmLink::keepTargetDocument() {
    m_keepsTarget = true;
    m_target = m_host.documents().currentEditable();
}

EditableDocument* frmLink::targetDocument() const {
    return m_keepsTarget ? m_target.data() : m_host.documents().currentEditable();
}

void frmLink::chkPicture_Click() {
    const bool picture = chkPicture->isChecked();
    txtName->setEnabled(!picture);
    txtPicture->setEnabled(picture);
    cmdBrowsePic->setEnabled(picture);
}

void frmLink::cmdBrowseFile_Click() {
    setRelativePath(*txtURL, m_host, ShowFileDialog(m_host, FileDialogAction::Open, true));
}

void frmLink::cmdBrowsePic_Click() {
    setRelativePath(*txtPicture, m_host, ShowPictureDialog(m_host));
}

void frmLink::cmdAdd_Click() {
    EditableDocument* document = targetDocument();
    if (!document)
        return;
    LinkFields fields;
    fields.protocol = cmbProtocol->currentText();
    fields.url = txtURL->text();
    fields.name = txtName->text();
    fields.target = cmbTarget->currentText();
    fields.picture = txtPicture->text();
    fields.usePicture = chkPicture->isChecked();
    fields.lineBreak = chkBR->isChecked();
    document->InsertAtCursor(BuildLinkTag(fields));
}

void frmLink::cmdClose_Click() {
    close(); // a shown modal dialog is rejected by its close, ending exec()
    FocusCurrentDocument(m_host);
}

bool frmLink::eventFilter(QObject* watched, QEvent* event) {
    // Entering the address or the name selects all of it, so typing replaces it.
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

#include "moc_frmLink.cpp"
