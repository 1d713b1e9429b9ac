#pragma once

#include <QDialog>

class DocumentHost;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Lists": a numbered or a dotted list of a given number of rows. Stays open after each
// insertion, which goes to the document current at that moment. Enter presses no button.
class frmList : public QDialog {
    Q_OBJECT
public:
    frmList(DocumentHost& host, QWidget* parent);

    QRadioButton *optNrList = nullptr, *optDotList = nullptr;
    QLineEdit* txtNrRows = nullptr;
    QGroupBox* fraExample = nullptr;
    QLabel* lblExample[3] = {};
    QPushButton *cmdAdd = nullptr, *cmdClose = nullptr;

public slots:
    void cmdAdd_Click();
    void cmdClose_Click();
    void txtNrRows_Change();
    void optList_Click();

private:
    DocumentHost& m_host;
};
