#pragma once

#include "markup/CssCode.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class DocumentHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class EditableDocument;

// "Quillora - Corvelle": a style sheet put together rule by rule. Each rule is a command with
// its properties; the words offered come from "css.txt" and, for one property's values, from
// "css/<property>.txt" in the program folder. A style block selected in the document when the
// dialog opens is read into it; OK writes the rules back in its place (one undo step), in one
// of two layouts, with or without the STYLE tags. Modal; acts on the document current when it
// opened, and on nothing if that document has closed meanwhile.
class frmCSS : public QDialog {
    Q_OBJECT
public:
    frmCSS(DocumentHost& host, QWidget* parent);

    QComboBox *cmbCommand = nullptr, *cmbProperty = nullptr, *cmbValue = nullptr, *cmbUnit = nullptr;
    QListWidget *lstAllCSS = nullptr, *lstProperties = nullptr;
    QLabel* lblProperties = nullptr;
    QGroupBox *fraProperty = nullptr, *fraOptions = nullptr;
    QPushButton *cmdAddProperty = nullptr, *cmdDelProperty = nullptr, *cmdClearProperties = nullptr,
                *cmdAddCSS = nullptr, *cmdDelCSS = nullptr, *cmdClearCSS = nullptr, *cmdOK = nullptr,
                *cmdCancel = nullptr;
    QRadioButton *optOneRow = nullptr, *optOnePerRow = nullptr;
    QCheckBox* chkExternal = nullptr;
    // Hidden: receives the colour chosen for a "Select Color..." value.
    QLineEdit* txtTemp = nullptr;

    // Shows the colour picker for a box and writes the chosen code into it; false when cancelled.
    // The colour picker of the program unless replaced (tests replace it).
    std::function<bool(QLineEdit&)> colorPicker;

    // The rule table; slot 0 is never used, deleted rules are empty slots.
    const QList<CssRule>& rules() const { return m_rules; }
    // The text OK writes in place of the style block.
    QString styleText() const;

public slots:
    void cmdAddProperty_Click();
    void cmdDelProperty_Click();
    void cmdClearProperties_Click();
    void cmdAddCSS_Click();
    void cmdDelCSS_Click();
    void cmdClearCSS_Click();
    void cmdOK_Click();
    // Shows the rule of the entry in the command and property boxes.
    void lstAllCSS_Click(QListWidgetItem* item);
    void lstProperties_Click(QListWidgetItem* item);
    // Offers the property's own values (or the general ones) before a value is chosen.
    void cmbValue_GotFocus();
    // A value chosen from the list: "Select Color..." and "Browse..." ask for the value.
    void cmbValue_Click(int index);

    // Closing without OK asks first when rules were made or changed.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void readSelection();
    // The slot of the selected rule when the command box holds exactly its command, else 0.
    int editedSlot() const;
    int slotOf(const QListWidgetItem* item) const;
    QListWidgetItem* addEntry(const QString& command, int slot);
    QStringList propertyItems() const;
    void storeProperties(int slot);
    bool ask(const QString& text, bool question);
    // The rules as they stand, deleted slots left out.
    QList<CssRule> builtRules() const;
    // Whether closing now would lose rules made or changed, or properties listed for none yet.
    bool hasWorkToLose() const;

    DocumentHost& m_host;
    QPointer<EditableDocument> m_target;
    QList<CssRule> m_rules;
    QList<CssRule> m_openedRules; // what the dialog opened with
    QStringList m_values;
    // The selection read at opening, and what of it lies around the style block.
    int m_selStart = 0;
    QString m_selected, m_before, m_after;
    bool m_quiet = false;
};
