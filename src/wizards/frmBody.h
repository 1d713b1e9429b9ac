#pragma once

#include <QDialog>

class DocumentHost;
class QCheckBox;
class QLineEdit;
class QPushButton;

// "BodyBuilder": a BODY tag put together from colours, a background picture and further
// attributes, read from the BODY tag selected in the current document when it opens. Stays open
// after each insertion, which goes to the document current at that moment.
class frmBody : public QDialog {
    Q_OBJECT
public:
    frmBody(DocumentHost& host, QWidget* parent);

    // Fills the boxes from the current document's selection.
    void Form_Load();

    QLineEdit *txtBackcolor = nullptr, *txtText = nullptr, *txtLink = nullptr, *txtAlink = nullptr,
              *txtVlink = nullptr, *txtBGPicture = nullptr, *txtOther = nullptr;
    QCheckBox* chkBGPicture = nullptr;
    QPushButton *cmdBrowse = nullptr, *cmdAdd = nullptr, *cmdCancel = nullptr;

public slots:
    void cmdAdd_Click();
    void cmdCancel_Click();
    void cmdBrowse_Click();
    void chkBGPicture_Click();

private:
    DocumentHost& m_host;
};
