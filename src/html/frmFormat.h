#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class DocumentHost;
class EditableDocument;

// "Format": changes the case of every tag in the selection, removes them, or puts texts around
// the selection and around each of its lines. Modal, over the document it formats.
class frmFormat : public QDialog {
    Q_OBJECT
public:
    frmFormat(EditableDocument& document, const QString& formatsPath, QWidget* parent);
    // Shows the dialog for the document's selection; without one, says so and shows nothing.
    static void run(DocumentHost& host, EditableDocument& document);

    QCheckBox *chkAllLcase = nullptr, *chkAllUcase = nullptr, *chkRemoveAll = nullptr;
    QComboBox *cmbStart = nullptr, *cmbEnd = nullptr, *cmbStartLine = nullptr, *cmbEndLine = nullptr;
    QPushButton *cmdOK = nullptr, *cmdCancel = nullptr;

public slots:
    void cmdOK_Click();

private:
    void tagOptionToggled();

    EditableDocument& m_document;
};
