#pragma once

#include <QDialog>
#include <QPointer>

class DocumentHost;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class EditableDocument;

// "Link": an anchor to an address, named by text or by a picture, read from the current
// document's selection when it opens. Works modeless (it stays open after each insertion) and
// modal (exec()); its close button ends either.
class frmLink : public QDialog {
    Q_OBJECT
public:
    frmLink(DocumentHost& host, QWidget* parent);

    // Fills the protocol, address and name from the current document's selection.
    void Form_Load();
    // From now on Add inserts into the document current now, or nowhere once it has closed, even
    // if another document becomes current meanwhile (run modal over a document).
    void keepTargetDocument();

    QComboBox *cmbProtocol = nullptr, *cmbTarget = nullptr;
    QLineEdit *txtURL = nullptr, *txtName = nullptr, *txtPicture = nullptr;
    QCheckBox *chkPicture = nullptr, *chkBR = nullptr;
    QPushButton *cmdBrowseFile = nullptr, *cmdBrowsePic = nullptr, *cmdAdd = nullptr, *cmdClose = nullptr;

public slots:
    void cmdAdd_Click();
    void cmdClose_Click();
    void cmdBrowseFile_Click();
    void cmdBrowsePic_Click();
    void chkPicture_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditableDocument* targetDocument() const;

    DocumentHost& m_host;
    bool m_keepsTarget = false;
    QPointer<EditableDocument> m_target;
};
