#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RichTextControl;

// "Go To": moves the cursor of a document to a line and a character of that line. Opens with the
// cursor's own line and character; Enter goes, Esc cancels.
class frmGoTo : public QDialog {
    Q_OBJECT
public:
    frmGoTo(RichTextControl& text, QWidget* parent);

    QLineEdit *txtLineNr = nullptr, *txtCharNr = nullptr;
    QLabel *lblTotlines = nullptr, *lblTotchars = nullptr;
    QPushButton *cmdGoTo = nullptr, *cmdCancel = nullptr;

public slots:
    void cmdGoTo_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RichTextControl& m_text;
};
