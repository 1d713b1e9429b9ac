#pragma once

#include <QDialog>
#include <QList>
#include <utility>

class DocumentHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;
class EditableDocument;

// "Quillora - Forms": builds a FORM tag on its first page and one form control at a time on its
// second, and inserts them into the current document. Stays open between insertions.
class frmForms : public QDialog {
    Q_OBJECT
public:
    frmForms(DocumentHost& host, QWidget* parent);

    QTabBar* TabStrip1 = nullptr;
    QGroupBox *fraForm = nullptr, *fraObjects = nullptr;
    QLineEdit *txtFormName = nullptr, *txtFormAction = nullptr, *txtFormClass = nullptr,
              *txtEncType = nullptr, *txtFormID = nullptr, *txtLang = nullptr, *txtFormTitle = nullptr;
    QComboBox *cmbMethod = nullptr, *cmbFormLanguage = nullptr, *cmbTarget = nullptr, *cmbObject = nullptr;
    QLineEdit *txtName = nullptr, *txtValue = nullptr, *txtSelections = nullptr, *txtSize = nullptr,
              *txtMaxLength = nullptr, *txtRows = nullptr, *txtCols = nullptr, *txtOnChange = nullptr,
              *txtOnClick = nullptr;
    QCheckBox* chkChecked = nullptr;
    QPushButton *cmdAdd = nullptr, *cmdClose = nullptr;

public slots:
    // A type picked: the page's boxes emptied, the type's fields enabled and its defaults set.
    void cmbObject_Click();
    // Inserts the FORM tag or the control of the visible page; nothing without a document.
    void cmdAdd_Click();
    void cmdClose_Click();
    void TabStrip1_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addForm(EditableDocument& document);
    void addObject(EditableDocument& document);
    QWidget* firstBoxOfPage() const;

    DocumentHost& m_host;
    // The fields a type may enable, with the flag that enables each.
    QList<std::pair<unsigned, QWidget*>> m_objectFields;
};
