#pragma once

#include <QDialog>

class DocumentHost;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Font": wraps the current document's selection in a FONT tag of a size, a face and a colour.
// Stays open after each insertion, which goes to the document current at that moment. Enter
// presses no button.
class frmFont : public QDialog {
    Q_OBJECT
public:
    frmFont(DocumentHost& host, QWidget* parent);

    QLineEdit *txtSize = nullptr, *txtColor = nullptr;
    QComboBox* cmbFonts = nullptr;
    QPushButton *cmdOK = nullptr, *cmdCancel = nullptr;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmbFonts_Click(int index);

private:
    DocumentHost& m_host;
};
