#include "wizards/frmCSS.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"
#include "wizards/frmColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace {

// Entries of the value lists the data files give (css/*.txt): compared, never translated.
const QString kSelectColor = QStringLiteral("Select Color...");
const QString kBrowse = QStringLiteral("Browse...");

QComboBox* wordBox(QWidget* parent, const char* name, const QStringList& words) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Completion offers words without writing them into the box: what was typed stays.
    box->completer()->setCompletionMode(QCompleter::PopupCompletion);
    box->addItems(words);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

QPushButton* button(QWidget* parent, const QString& caption, const char* name) {
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(QLatin1String(name));
    return pushButton;
}

QLabel* label(QWidget* parent, const QString& caption, QWidget* buddy) {
    auto* text = new QLabel(caption, parent);
    text->setBuddy(buddy);
    return text;
}

// A list whose entries are chosen by click, Shift and Ctrl.
QListWidget* list(QWidget* parent, const char* name) {
    auto* entries = new QListWidget(parent);
    entries->setObjectName(QLatin1String(name));
    entries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return entries;
}

} // namespace

frmCSS::frmCSS(DocumentHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_target(host.documents().currentEditable()) {
    setObjectName(QStringLiteral("frmCSS"));
    setWindowTitle(tr("Quillora - Corvelle"));
    setModal(true);
    colorPicker = [this](QLineEdit& box) { return frmColor::runForField(box, m_host); };

    const CssVocabulary vocabulary = ReadCssVocabulary(m_host.programFolder() + QStringLiteral("/css.txt"));
    m_values = vocabulary.values;
    cmbCommand = wordBox(this, "cmbCommand", vocabulary.commands);
    cmbProperty = wordBox(this, "cmbProperty", vocabulary.properties);
    cmbValue = wordBox(this, "cmbValue", vocabulary.values);
    cmbUnit = wordBox(this, "cmbUnit", vocabulary.units);
    buildControls();
    m_rules = {CssRule()};
    readSelection();
    m_openedRules = builtRules();
    cmbCommand->setFocus();
}

QList<CssRule> frmCSS::builtRules() const {
    QList<CssRule> built;
    for (const CssRule& rule : m_rules)
        if (!rule.isEmpty())
            built << rule;
    return built;
}

bool frmCSS::hasWorkToLose() const {
    if (builtRules() != m_openedRules)
        return true;
    // Properties listed that no rule holds yet: a rule on its way.
    const QString listed = JoinProperties(propertyItems());
    return !listed.isEmpty() && std::none_of(m_rules.begin(), m_rules.end(), [&](const CssRule& rule) {
        return rule.command == cmbCommand->currentText() && rule.properties == listed;
    });
}

void frmCSS::reject() {
    // Esc, Cancel and the close button: rules made here are not thrown away without a word.
    if (hasWorkToLose() &&
        Dialogs::instance().message(this, MessageBoxTitle(), tr("Discard the style rules you made?"),
                                    Dialogs::Buttons::YesNoDefaultNo,
                                    Dialogs::Icon::Question) != Dialogs::Answer::Yes)
        return;
    QDialog::reject();
}

void frmCSS::buildControls() {
    lstAllCSS = list(this, "lstAllCSS");
    lstProperties = list(this, "lstProperties");
    lblProperties = label(this, tr("Properties:"), lstProperties);
    lblProperties->setObjectName(QStringLiteral("lblProperties"));
    // Lists are named by their own names, not by a label's.
    lstAllCSS->setAccessibleName(tr("CSS Commands"));
    lstProperties->setAccessibleName(tr("Properties"));
    cmdAddProperty = button(this, tr("Add property"), "cmdAddProperty");
    cmdDelProperty = button(this, tr("Delete property"), "cmdDelProperty");
    cmdClearProperties = button(this, tr("Clear Properties"), "cmdClearProperties");
    cmdAddCSS = button(this, tr("Add to CSS"), "cmdAddCSS");
    cmdDelCSS = button(this, tr("Delete CSS"), "cmdDelCSS");
    cmdClearCSS = button(this, tr("Clear CSS"), "cmdClearCSS");
    cmdOK = button(this, tr("&OK"), "cmdOK");
    cmdCancel = button(this, tr("&Cancel"), "cmdCancel");
    optOneRow = new QRadioButton(tr("All properties on one row."), this);
    optOneRow->setObjectName(QStringLiteral("optOneRow"));
    optOnePerRow = new QRadioButton(tr("One property per row."), this);
    optOnePerRow->setObjectName(QStringLiteral("optOnePerRow"));
    optOnePerRow->setChecked(true);
    chkExternal = new QCheckBox(tr("External CSS file."), this);
    chkExternal->setObjectName(QStringLiteral("chkExternal"));
    chkExternal->setToolTip(tr("When checked, <STYLE> won´t be added."));
    txtTemp = new QLineEdit(this);
    txtTemp->setObjectName(QStringLiteral("txtTemp"));
    txtTemp->hide();

    fraProperty = new QGroupBox(tr("Property"), this);
    fraProperty->setObjectName(QStringLiteral("fraProperty"));
    auto* property = new QGridLayout(fraProperty);
    property->addWidget(label(this, tr("Property:"), cmbProperty), 0, 0);
    property->addWidget(cmbProperty, 0, 1);
    property->addWidget(label(this, tr("Value:"), cmbValue), 1, 0);
    property->addWidget(cmbValue, 1, 1);
    property->addWidget(label(this, tr("Unit:"), cmbUnit), 2, 0);
    property->addWidget(cmbUnit, 2, 1);
    property->addWidget(cmdAddProperty, 3, 1);
    property->setColumnStretch(1, 1);

    auto* propertyButtons = new QHBoxLayout;
    propertyButtons->addWidget(cmdDelProperty);
    propertyButtons->addWidget(cmdClearProperties);
    auto* left = new QVBoxLayout;
    left->addWidget(fraProperty);
    left->addWidget(lblProperties);
    left->addWidget(lstProperties, 1);
    left->addLayout(propertyButtons);

    auto* cssButtons = new QHBoxLayout;
    cssButtons->addWidget(cmdAddCSS);
    cssButtons->addWidget(cmdDelCSS);
    cssButtons->addWidget(cmdClearCSS);
    auto* right = new QVBoxLayout;
    right->addWidget(label(this, tr("CSS Commands:"), lstAllCSS));
    right->addWidget(lstAllCSS, 1);
    right->addLayout(cssButtons);

    fraOptions = new QGroupBox(tr("CSS Options"), this);
    fraOptions->setObjectName(QStringLiteral("fraOptions"));
    auto* options = new QVBoxLayout(fraOptions);
    options->addWidget(optOneRow);
    options->addWidget(optOnePerRow);
    options->addWidget(chkExternal);
    auto* closing = new QVBoxLayout;
    closing->addStretch();
    closing->addWidget(cmdOK);
    closing->addWidget(cmdCancel);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fraOptions, 1);
    bottom->addLayout(closing);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(this, tr("HTML command to change properties on:"), cmbCommand));
    layout->addWidget(cmbCommand);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);
    layout->addWidget(txtTemp);

    setTabChain({cmbCommand, cmbProperty, cmbValue, cmbUnit, cmdAddProperty, lstProperties, cmdDelProperty,
                 cmdClearProperties, lstAllCSS, cmdAddCSS, cmdDelCSS, cmdClearCSS, optOneRow, optOnePerRow,
                 chkExternal, cmdOK, cmdCancel});

    connect(cmbCommand, &QComboBox::editTextChanged, this, [this](const QString& text) {
        lblProperties->setText(text.isEmpty() ? tr("Properties:") : text + tr(" Properties:"));
    });
    // Enter in a box does its step: in the command box it goes on to the property, in the property,
    // value and unit boxes it adds the property. OK is pressed by its button or Ctrl+Enter only.
    OkByItsButtonOnly(*this, cmdOK);
    for (QComboBox* box : {cmbCommand, cmbProperty, cmbValue, cmbUnit}) {
        box->lineEdit()->installEventFilter(this);
        CompletionsBesideBox(*box);
    }
    cmbValue->installEventFilter(this);
    connect(cmbValue, &QComboBox::activated, this, &frmCSS::cmbValue_Click);
    connect(cmdAddProperty, &QPushButton::clicked, this, &frmCSS::cmdAddProperty_Click);
    connect(cmdDelProperty, &QPushButton::clicked, this, &frmCSS::cmdDelProperty_Click);
    connect(cmdClearProperties, &QPushButton::clicked, this, &frmCSS::cmdClearProperties_Click);
    connect(cmdAddCSS, &QPushButton::clicked, this, &frmCSS::cmdAddCSS_Click);
    connect(cmdDelCSS, &QPushButton::clicked, this, &frmCSS::cmdDelCSS_Click);
    connect(cmdClearCSS, &QPushButton::clicked, this, &frmCSS::cmdClearCSS_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmCSS::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A click, and a move with the keys, show the entry; changes made by the dialog itself do not,
    // nor does the focus entering a list (which makes an entry current without choosing it).
    connect(lstAllCSS, &QListWidget::itemClicked, this, &frmCSS::lstAllCSS_Click);
    connect(lstAllCSS, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!m_quiet && item && item->isSelected())
            lstAllCSS_Click(item);
    });
    connect(lstProperties, &QListWidget::itemClicked, this, &frmCSS::lstProperties_Click);
    connect(lstProperties, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!m_quiet && item && item->isSelected())
            lstProperties_Click(item);
    });
}

void frmCSS::readSelection() {
    if (!m_target)
        return;
    const RichTextControl& text = m_target->text();
    m_selStart = text.selStart();
    m_selected = text.selText();
    if (m_selected.isEmpty())
        return;
    const StyleSelection read = ReadStyleSelection(m_selected);
    m_before = read.before;
    m_after = read.after;
    for (const CssRule& rule : read.rules) {
        m_rules << rule;
        addEntry(rule.command, static_cast<int>(m_rules.size()) - 1);
    }
}

QListWidgetItem* frmCSS::addEntry(const QString& command, int slot) {
    auto* item = new QListWidgetItem(command);
    item->setData(Qt::UserRole, slot);
    const bool quiet = std::exchange(m_quiet, true);
    lstAllCSS->addItem(item);
    m_quiet = quiet;
    return item;
}

int frmCSS::slotOf(const QListWidgetItem* item) const {
    const int slot = item ? item->data(Qt::UserRole).toInt() : 0;
    return slot > 0 && slot < m_rules.size() ? slot : 0;
}

int frmCSS::editedSlot() const {
    const QListWidgetItem* item = lstAllCSS->currentItem();
    if (!item || !item->isSelected() || item->text() != cmbCommand->currentText())
        return 0;
    return slotOf(item);
}

QStringList frmCSS::propertyItems() const {
    QStringList items;
    for (int row = 0; row < lstProperties->count(); ++row)
        items << lstProperties->item(row)->text();
    return items;
}

void frmCSS::storeProperties(int slot) {
    if (slot > 0)
        m_rules[slot].properties = JoinProperties(propertyItems());
}

bool frmCSS::ask(const QString& text, bool question) {
    return Dialogs::instance().message(this, MessageBoxTitle(), text, Dialogs::Buttons::YesNo,
                                       question ? Dialogs::Icon::Question : Dialogs::Icon::Information) ==
           Dialogs::Answer::Yes;
}

void frmCSS::cmdAddProperty_Click() {
    const QString name = cmbProperty->currentText().trimmed();
    if (name.isEmpty())
        return;
    QList<QListWidgetItem*> listed;
    for (int row = 0; row < lstProperties->count(); ++row)
        if (PropertyName(lstProperties->item(row)->text()).compare(name, Qt::CaseInsensitive) == 0)
            listed << lstProperties->item(row);
    if (!listed.isEmpty()) {
        if (!ask(tr("That property already exists!") + tr("\r\nWould you like to replace it?"), false))
            return;
        const bool quiet = std::exchange(m_quiet, true);
        qDeleteAll(listed);
        m_quiet = quiet;
    }
    lstProperties->addItem(name + QLatin1Char(':') + cmbValue->currentText() + cmbUnit->currentText() +
                           QLatin1Char(';'));
    storeProperties(editedSlot());
}

void frmCSS::cmdDelProperty_Click() {
    const bool quiet = std::exchange(m_quiet, true);
    qDeleteAll(lstProperties->selectedItems());
    m_quiet = quiet;
    storeProperties(editedSlot());
    for (QComboBox* box : {cmbProperty, cmbValue, cmbUnit})
        box->setEditText(QString());
}

void frmCSS::cmdClearProperties_Click() {
    const bool quiet = std::exchange(m_quiet, true);
    lstProperties->clear();
    m_quiet = quiet;
    storeProperties(editedSlot());
}

void frmCSS::cmdAddCSS_Click() {
    const QString command = cmbCommand->currentText();
    if (command.trimmed().isEmpty())
        return;
    // The rule replaced is the selected one when it has this command, else the last that has it.
    const auto named = [&command](const QListWidgetItem* item) {
        return item && item->text().compare(command, Qt::CaseInsensitive) == 0;
    };
    QListWidgetItem* entry = lstAllCSS->currentItem();
    if (!named(entry) || !entry->isSelected()) {
        entry = nullptr;
        for (int row = 0; row < lstAllCSS->count(); ++row)
            if (named(lstAllCSS->item(row)))
                entry = lstAllCSS->item(row);
    }
    if (entry && !ask(tr("That command already exists!") + tr("\r\nWould you like to replace it?"), false))
        return;
    if (!entry) {
        m_rules << CssRule();
        entry = addEntry(command, static_cast<int>(m_rules.size()) - 1);
    }
    const int slot = slotOf(entry);
    m_rules[slot] = CssRule{command, JoinProperties(propertyItems())};
    entry->setText(command);
    // The rule just written is the one edited from now on.
    const bool quiet = std::exchange(m_quiet, true);
    lstAllCSS->setCurrentItem(entry, QItemSelectionModel::ClearAndSelect);
    m_quiet = quiet;
}

void frmCSS::cmdDelCSS_Click() {
    const bool quiet = std::exchange(m_quiet, true);
    for (QListWidgetItem* item : lstAllCSS->selectedItems()) {
        m_rules[slotOf(item)] = CssRule();
        delete item;
    }
    m_rules[0] = CssRule();
    lstProperties->clear();
    m_quiet = quiet;
}

void frmCSS::cmdClearCSS_Click() {
    if (!ask(tr("Are you sure you want to clear all commands?"), true))
        return;
    const bool quiet = std::exchange(m_quiet, true);
    lstAllCSS->clear();
    m_quiet = quiet;
    m_rules = {CssRule()};
}

void frmCSS::lstAllCSS_Click(QListWidgetItem* item) {
    if (!item)
        return;
    const int slot = slotOf(item);
    cmbCommand->setEditText(item->text());
    const QStringList items = SplitProperties(m_rules.at(slot).properties);
    const bool quiet = std::exchange(m_quiet, true);
    lstProperties->clear();
    lstProperties->addItems(items);
    m_quiet = quiet;
    if (slot > 0)
        m_rules[slot].properties = JoinProperties(items);
}

void frmCSS::lstProperties_Click(QListWidgetItem* item) {
    if (!item)
        return;
    cmbProperty->setEditText(PropertyName(item->text()));
    cmbValue->setEditText(PropertyValue(item->text()));
}

void frmCSS::cmbValue_GotFocus() {
    const QString property = cmbProperty->currentText().trimmed();
    if (property.isEmpty())
        return;
    QStringList values = ReadPropertyValues(m_host.programFolder() + QStringLiteral("/css"), property);
    if (values.isEmpty())
        values = m_values;
    // The value already typed or picked stays in the box.
    const QString typed = cmbValue->currentText();
    const QSignalBlocker quiet(cmbValue);
    cmbValue->clear();
    cmbValue->addItems(values);
    cmbValue->setCurrentIndex(-1);
    cmbValue->setEditText(typed);
}

void frmCSS::cmbValue_Click(int index) {
    const QString entry = cmbValue->itemText(index);
    QString value;
    if (entry == kSelectColor) {
        if (colorPicker)
            colorPicker(*txtTemp);
        value = txtTemp->text();
        txtTemp->clear();
    } else if (entry == kBrowse) {
        const QString path = ShowPictureDialog(m_host);
        if (!path.isEmpty())
            value = CssUrl(MakeRelativePath(m_target, path));
    } else {
        return;
    }
    cmbValue->setEditText(value);
}

bool frmCSS::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                           !(key->modifiers() & Qt::ControlModifier);
        // With its completion list open, Enter picks from the list (the list sees it first).
        if (enter && watched == cmbCommand->lineEdit()) {
            cmbProperty->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (enter && (watched == cmbProperty->lineEdit() || watched == cmbValue->lineEdit() ||
                      watched == cmbUnit->lineEdit())) {
            cmdAddProperty_Click();
            return true;
        }
    }
    // The focus coming back from the box's own list or from another window is no new choice.
    if (watched == cmbValue && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            cmbValue_GotFocus();
    }
    return QDialog::eventFilter(watched, event);
}

QString frmCSS::styleText() const {
    return BuildCss(m_rules, optOneRow->isChecked() ? CssLayout::OneRow : CssLayout::OnePerRow,
                    chkExternal->isChecked(), m_host.settings().Indent);
}

void frmCSS::cmdOK_Click() {
    if (m_target) {
        RichTextControl& text = m_target->text();
        QString style = styleText();
        // Only the style block is replaced: the text selected around it stays as it stands, and
        // the text behind it keeps its own line break.
        if (text.selStart() == m_selStart && text.selText() == m_selected) {
            const int length = static_cast<int>(m_selected.size() - m_before.size() - m_after.size());
            text.select(m_selStart + static_cast<int>(m_before.size()), length);
            if (!m_after.isEmpty() && style.endsWith(QStringLiteral("\r\n")))
                style.chop(2);
        }
        m_target->InsertAtCursor(style);
    }
    accept();
}

void frmCSS::done(int result) {
    QDialog::done(result);
    if (m_target)
        m_target->text().setFocus();
}

#include "moc_frmCSS.cpp"
