#include "wizards/frmForms.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "markup/FormCode.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

// A list that offers values; whatever stands in its text box is used, and it starts empty.
QComboBox* offerList(QWidget* parent, const char* name, const QStringList& values) {
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(values);
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

frmForms::frmForms(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmForms"));
    setWindowTitle(tr("Quillora - Forms"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setMinimumWidth(360);

    TabStrip1 = named(new QTabBar(this), "TabStrip1");
    TabStrip1->addTab(tr("Form Base"));
    TabStrip1->addTab(tr("Objects"));

    fraForm = named(new QGroupBox(tr("Form Properies:"), this), "fraForm");
    auto* formGrid = new QFormLayout(fraForm);
    const auto formBox = [&](const char* label, const char* name) {
        auto* box = named(new QLineEdit(fraForm), name);
        formGrid->addRow(tr(label), box);
        return box;
    };
    const auto formList = [&](const char* label, const char* name, const QStringList& values) {
        auto* box = offerList(fraForm, name, values);
        formGrid->addRow(tr(label), box);
        return box;
    };
    txtFormName = formBox(QT_TR_NOOP("Name:"), "txtFormName");
    txtFormAction = formBox(QT_TR_NOOP("Action: "), "txtFormAction");
    cmbMethod = formList(QT_TR_NOOP("Method:"), "cmbMethod", {"Post", "Get"});
    txtFormClass = formBox(QT_TR_NOOP("Class:"), "txtFormClass");
    txtEncType = formBox(QT_TR_NOOP("EncType:"), "txtEncType");
    txtFormID = formBox(QT_TR_NOOP("ID:"), "txtFormID");
    txtLang = formBox(QT_TR_NOOP("Lang:"), "txtLang");
    cmbFormLanguage =
        formList(QT_TR_NOOP("Language:"), "cmbFormLanguage", {"JAVASCRIPT", "JSCRIPT", "VBS", "VBSCRIPT"});
    cmbTarget = formList(QT_TR_NOOP("Target:"), "cmbTarget", {"_blank", "_parent", "_self", "_top"});
    txtFormTitle = formBox(QT_TR_NOOP("Title:"), "txtFormTitle");

    fraObjects = named(new QGroupBox(this), "fraObjects");
    auto* objectGrid = new QFormLayout(fraObjects);
    cmbObject = named(new QComboBox(fraObjects), "cmbObject");
    for (const FormObjectType& type : FormObjectTypes)
        cmbObject->addItem(QCoreApplication::translate("FormCode", type.caption));
    cmbObject->setCurrentIndex(-1);
    objectGrid->addRow(tr("Select Object:"), cmbObject);
    const auto objectBox = [&](const char* label, const char* name) {
        auto* box = named(new QLineEdit(fraObjects), name);
        objectGrid->addRow(tr(label), box);
        return box;
    };
    txtName = objectBox(QT_TR_NOOP("Name:"), "txtName");
    txtValue = objectBox(QT_TR_NOOP("Value:"), "txtValue");
    txtSelections = objectBox(QT_TR_NOOP("How many selections?"), "txtSelections");
    txtSize = objectBox(QT_TR_NOOP("Size:"), "txtSize");
    txtMaxLength = objectBox(QT_TR_NOOP("MaxLength:"), "txtMaxLength");
    chkChecked = named(new QCheckBox(tr("Checked"), fraObjects), "chkChecked");
    objectGrid->addRow(QString(), chkChecked);
    txtRows = objectBox(QT_TR_NOOP("Rows:"), "txtRows");
    txtCols = objectBox(QT_TR_NOOP("Cols:"), "txtCols");
    txtOnChange = objectBox(QT_TR_NOOP("OnChange:"), "txtOnChange");
    txtOnClick = objectBox(QT_TR_NOOP("OnClick:"), "txtOnClick");
    fraObjects->hide();

    m_objectFields = {
        {UsesValue, txtValue},         {UsesSelections, txtSelections}, {UsesSize, txtSize},
        {UsesMaxLength, txtMaxLength}, {UsesChecked, chkChecked},       {UsesRows, txtRows},
        {UsesCols, txtCols},           {UsesOnChange, txtOnChange},     {UsesOnClick, txtOnClick}};
    for (QLineEdit* box : {txtSelections, txtSize, txtMaxLength, txtRows, txtCols})
        digitsOnly(*box);
    for (const auto& [use, field] : m_objectFields) {
        if (qobject_cast<QLineEdit*>(field)) { // a box out of use shows the shadow colour
            QPalette palette = field->palette();
            palette.setColor(QPalette::Disabled, QPalette::Base,
                             palette.color(QPalette::Active, QPalette::Dark));
            field->setPalette(palette);
        }
        field->setEnabled(false); // only the name is open until a type is picked
    }

    // Enter is dropped in the boxes, so no button may take it.
    cmdAdd = named(new QPushButton(tr("&Add"), this), "cmdAdd");
    cmdClose = named(new QPushButton(tr("&Close"), this), "cmdClose");
    for (QPushButton* button : {cmdAdd, cmdClose}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(TabStrip1, &QTabBar::currentChanged, this, &frmForms::TabStrip1_Click);
    connect(cmbObject, &QComboBox::activated, this, &frmForms::cmbObject_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmForms::cmdAdd_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmForms::cmdClose_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    layout->addWidget(fraForm);
    layout->addWidget(fraObjects);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabChain({TabStrip1, txtFormName, txtFormAction,   cmbMethod,  txtFormClass, txtEncType,
                 txtFormID, txtLang,     cmbFormLanguage, cmbTarget,  txtFormTitle, cmbObject,
                 txtName,   txtValue,    txtSelections,   txtSize,    txtMaxLength, chkChecked,
                 txtRows,   txtCols,     txtOnChange,     txtOnClick, cmdAdd,       cmdClose});
}

QWidget* frmForms::firstBoxOfPage() const {
    return TabStrip1->currentIndex() == 0 ? static_cast<QWidget*>(txtFormName) : cmbObject;
}

void frmForms::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) // opened, not restored from minimised
        firstBoxOfPage()->setFocus();
}

void frmForms::TabStrip1_Click() {
    const bool formPage = TabStrip1->currentIndex() == 0;
    fraForm->setVisible(formPage);
    fraObjects->setVisible(!formPage);
    // A tab picked with the keys keeps the focus on the tabs; otherwise it goes to the page.
    if (!TabStrip1->hasFocus())
        firstBoxOfPage()->setFocus();
}

void frmForms::cmbObject_Click() {
    const int type = cmbObject->currentIndex();
    if (type < 0 || type >= FormObjectTypeCount)
        return;
    for (QLineEdit* box : fraObjects->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        box->clear();
    chkChecked->setChecked(false);
    for (const auto& [use, field] : m_objectFields)
        field->setEnabled(FormObjectTypes[type].fields & use);
    txtName->setText(QLatin1String(FormObjectTypes[type].defaultName));
    txtValue->setText(QLatin1String(FormObjectTypes[type].defaultValue));
}

void frmForms::cmdAdd_Click() {
    EditableDocument* document = m_host.documents().currentEditable();
    if (!document)
        return;
    if (TabStrip1->currentIndex() == 0)
        addForm(*document);
    else
        addObject(*document);
}

void frmForms::addForm(EditableDocument& document) {
    const FormFields fields{txtFormName->text(),      txtFormAction->text(),
                            cmbMethod->currentText(), txtFormClass->text(),
                            txtEncType->text(),       txtFormID->text(),
                            txtLang->text(),          cmbFormLanguage->currentText(),
                            cmbTarget->currentText(), txtFormTitle->text()};
    document.InsertAtCursor(BuildFormCode(fields));
    // The cursor goes to the empty line between the tags: before "\r\n</FORM>\r\n".
    document.text().setSelStart(document.text().selStart() - 11);
    document.text().setSelLength(0);
    TabStrip1->setCurrentIndex(1);
}

void frmForms::addObject(EditableDocument& document) {
    const int type = cmbObject->currentIndex();
    if (type < 0) // no type picked yet: nothing to build
        return;
    const auto refuse = [this](const QString& why) {
        Dialogs::instance().message(this, MessageBoxTitle(), why, Dialogs::Buttons::Ok,
                                    Dialogs::Icon::Information);
        txtSelections->setFocus();
        txtSelections->selectAll();
    };
    if (!SelectionCountAccepted(txtSelections->text())) {
        refuse(tr("The number of selections must be %1 or less.").arg(int(MaxFormSelections)));
        return;
    }
    ObjectFields fields;
    fields.Name = txtName->text();
    fields.Value = txtValue->text();
    fields.Selections = txtSelections->text();
    fields.Size = txtSize->text();
    fields.MaxLength = txtMaxLength->text();
    fields.Rows = txtRows->text();
    fields.Cols = txtCols->text();
    fields.OnChange = txtOnChange->text();
    fields.OnClick = txtOnClick->text();
    fields.Checked = chkChecked->isChecked();
    const QString& indent = m_host.settings().Indent;
    if (!ObjectCodeFits(type, fields, indent)) {
        refuse(tr("The control would be more than %1 MB of text. Give fewer selections or a "
                  "shorter value.")
                   .arg(MaxFormCodeLength / (1024 * 1024)));
        return;
    }
    document.InsertAtCursor(BuildObjectCode(type, fields, indent));
}

void frmForms::cmdClose_Click() {
    close();
}

#include "moc_frmForms.cpp"
