#include "wizards/frmBody.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "markup/TagDialogsCode.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmBody::frmBody(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmBody"));
    setWindowTitle(tr("Quillora - BodyBuilder"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    const auto box = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    txtBackcolor = box("txtBackcolor");
    txtText = box("txtText");
    txtLink = box("txtLink");
    txtAlink = box("txtAlink");
    txtVlink = box("txtVlink");
    txtBGPicture = box("txtBGPicture");
    txtOther = box("txtOther");
    chkBGPicture = new QCheckBox(tr("Background picture:"), this);
    chkBGPicture->setObjectName(QStringLiteral("chkBGPicture"));
    const auto button = [this](const char* name, const char* caption) {
        auto* push = new QPushButton(tr(caption), this);
        push->setObjectName(QLatin1String(name));
        return push;
    };
    cmdBrowse = button("cmdBrowse", QT_TR_NOOP("Browse..."));
    cmdAdd = button("cmdAdd", QT_TR_NOOP("&Add"));
    cmdAdd->setDefault(true);
    cmdCancel = button("cmdCancel", QT_TR_NOOP("&Close"));

    auto* grid = new QGridLayout;
    const std::pair<const char*, QLineEdit*> colours[] = {{"BackColor:", txtBackcolor},
                                                          {"Text:", txtText},
                                                          {"Link:", txtLink},
                                                          {"ALink:", txtAlink},
                                                          {"VLink:", txtVlink}};
    int row = 0;
    for (const auto& [caption, edit] : colours) {
        openColorOnDoubleClick(*edit, m_host, tr("Doubleclick to select a color!"));
        grid->addWidget(buddyLabel(edit, QLatin1String(caption)), row, 0);
        grid->addWidget(edit, row++, 1, 1, 2);
    }
    txtBGPicture->setAccessibleName(chkBGPicture->text()); // the check box is its label
    grid->addWidget(chkBGPicture, row, 0);
    grid->addWidget(txtBGPicture, row, 1);
    grid->addWidget(cmdBrowse, row++, 2);
    grid->addWidget(buddyLabel(txtOther, tr("Other properties:")), row, 0);
    grid->addWidget(txtOther, row++, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabChain({txtBackcolor, txtText, txtLink, txtAlink, txtVlink, chkBGPicture, txtBGPicture, cmdBrowse,
                 txtOther, cmdAdd, cmdCancel});

    connect(chkBGPicture, &QCheckBox::toggled, this, &frmBody::chkBGPicture_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmBody::cmdBrowse_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmBody::cmdAdd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBody::cmdCancel_Click);
    chkBGPicture_Click();
    Form_Load();
    txtBackcolor->setFocus();
}

void frmBody::Form_Load() {
    EditableDocument* document = m_host.documents().currentEditable();
    const BodyFields fields = ReadBodyTag(document ? document->text().selText() : QString());
    txtBGPicture->setText(fields.background);
    txtBackcolor->setText(fields.bgcolor);
    txtText->setText(fields.text);
    txtLink->setText(fields.link);
    txtAlink->setText(fields.alink);
    txtVlink->setText(fields.vlink);
    txtOther->setText(fields.other);
    if (!fields.background.isEmpty())
        chkBGPicture->setChecked(true);
}

void frmBody::chkBGPicture_Click() {
    txtBGPicture->setEnabled(chkBGPicture->isChecked());
    cmdBrowse->setEnabled(chkBGPicture->isChecked());
}

void frmBody::cmdBrowse_Click() {
    setRelativePath(*txtBGPicture, m_host, ShowPictureDialog(m_host));
}

void frmBody::cmdAdd_Click() {
    EditableDocument* document = m_host.documents().currentEditable();
    if (!document)
        return;
    BodyFields fields;
    fields.background = txtBGPicture->text(); // written whenever it holds text
    fields.bgcolor = txtBackcolor->text();
    fields.text = txtText->text();
    fields.link = txtLink->text();
    fields.alink = txtAlink->text();
    fields.vlink = txtVlink->text();
    fields.other = txtOther->text();
    QString tag = BuildBodyTag(fields);
    // A BODY tag selected with text around it: only the tag is replaced, the text stays as it
    // stands (and keeps its own line break after the tag).
    RichTextControl& text = document->text();
    if (const std::optional<BodyTagPlace> span = BodyTagSpan(text.selText())) {
        const bool textAfter = span->start + span->length < text.selLength();
        text.select(text.selStart() + static_cast<int>(span->start), static_cast<int>(span->length));
        if (textAfter)
            tag.chop(2); // the CR LF
    }
    document->InsertAtCursor(tag);
}

void frmBody::cmdCancel_Click() {
    close();
    FocusCurrentDocument(m_host);
}

#include "moc_frmBody.cpp"
