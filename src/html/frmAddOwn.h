#pragma once

#include "markup/OwnCommands.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Add Own Commands": edits the own commands one slot at a time, starting with slot 1. Next and
// Previous move between slots without saving; Save stores the shown slot in the table, writes the
// whole table to the file and announces the slot, so the main window can update its menu item.
// Next only leads past slots that hold a command, so commands are filled in without gaps.
class frmAddOwn : public QDialog {
    Q_OBJECT
public:
    frmAddOwn(OwnCommandTable& table, const QString& filePath, QWidget* parent);

    int slot() const { return m_slot; }

    QGroupBox* fraCommand = nullptr;
    QLineEdit *txtName = nullptr, *txtCode = nullptr, *txtBeginning = nullptr, *txtEnd = nullptr;
    QCheckBox *chkBeginning = nullptr, *chkEnd = nullptr;
    QLabel* lblHelp = nullptr;
    QPushButton *cmdPrevious = nullptr, *cmdNext = nullptr, *cmdSave = nullptr, *cmdCancel = nullptr;

signals:
    // The slot was saved to the table and the file.
    void saved(int slot);

public slots:
    // Shows slot `slot` (1 to 20) with its name and command; nothing typed before is kept.
    void showSlot(int slot);
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdSave_Click();

private:
    OwnCommandTable& m_table;
    QString m_path;
    int m_slot = 1;
};
