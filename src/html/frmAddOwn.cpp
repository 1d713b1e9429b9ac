#include "html/frmAddOwn.h"

#include "platform/Dialogs.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <iterator>

namespace {
constexpr int kSlots = 20;

// Drops the characters the file cannot hold from whatever is typed or pasted: line breaks would
// split a name/command pair, and a "#" in a beginning or end text would close its marker early.
// The rest of a pasted text is kept.
class DropCharacters : public QValidator {
public:
    DropCharacters(const QString& refused, QObject* parent) : QValidator(parent), m_refused(refused) {}
    State validate(QString& input, int& pos) const override {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (!m_refused.contains(input.at(i)))
                continue;
            input.remove(i, 1);
            if (i < pos)
                --pos;
        }
        return Acceptable;
    }

private:
    QString m_refused;
};
} // namespace

frmAddOwn::frmAddOwn(OwnCommandTable& table, const QString& filePath, QWidget* parent)
    : QDialog(parent), m_table(table), m_path(filePath) {
    setObjectName(QStringLiteral("frmAddOwn"));
    setWindowTitle(tr("Quillora - Add Own Commands"));
    setModal(true);

    const QString breaks = QStringLiteral("\r\n");
    const QString breaksAndHash = QStringLiteral("\r\n#");
    const auto lineEdit = [this](const char* name, const QString& refused) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setValidator(new DropCharacters(refused, box));
        return box;
    };
    txtName = lineEdit("txtName", breaks);
    txtCode = lineEdit("txtCode", breaks);
    txtBeginning = lineEdit("txtBeginning", breaksAndHash);
    txtEnd = lineEdit("txtEnd", breaksAndHash);
    chkBeginning = new QCheckBox(tr("Beginning:"), this);
    chkBeginning->setObjectName(QStringLiteral("chkBeginning"));
    chkEnd = new QCheckBox(tr("End:"), this);
    chkEnd->setObjectName(QStringLiteral("chkEnd"));
    connect(chkBeginning, &QCheckBox::toggled, txtBeginning, &QLineEdit::setEnabled);
    connect(chkEnd, &QCheckBox::toggled, txtEnd, &QLineEdit::setEnabled);

    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setTextFormat(Qt::PlainText);
    lblHelp->setWordWrap(true);
    lblHelp->setText(tr("Write @@ in the \"Code\"-textfield where you want the selected text in the "
                        "document to be insterted. ") +
                     QLatin1Char('\n') + QLatin1Char('\n') +
                     tr("Write %% where you want to start a new line. This also works in the "
                        "beginning and end of each row.") +
                     QLatin1Char('\n'));

    fraCommand = new QGroupBox(this);
    fraCommand->setObjectName(QStringLiteral("fraCommand"));
    auto* grid = new QGridLayout(fraCommand);
    grid->addWidget(new QLabel(tr("Name:"), fraCommand), 0, 0);
    grid->addWidget(txtName, 0, 1);
    grid->addWidget(new QLabel(tr("Code:"), fraCommand), 1, 0);
    grid->addWidget(txtCode, 1, 1);
    grid->addWidget(chkBeginning, 2, 0);
    grid->addWidget(txtBeginning, 2, 1);
    grid->addWidget(chkEnd, 3, 0);
    grid->addWidget(txtEnd, 3, 1);
    grid->addWidget(lblHelp, 4, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 320);

    const auto button = [this](const QString& caption, const char* name) {
        auto* push = new QPushButton(caption, this);
        push->setObjectName(QLatin1String(name));
        return push;
    };
    cmdPrevious = button(tr("&Previous"), "cmdPrevious");
    cmdNext = button(tr("&Next"), "cmdNext");
    cmdSave = button(tr("&Save"), "cmdSave");
    cmdSave->setDefault(true);
    cmdCancel = button(tr("&Cancel"), "cmdCancel");
    connect(cmdPrevious, &QPushButton::clicked, this, &frmAddOwn::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmAddOwn::cmdNext_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAddOwn::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrevious);
    buttons->addWidget(cmdNext);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraCommand);
    layout->addLayout(buttons);

    QWidget* order[] = {txtName, txtCode,     chkBeginning, txtBeginning, chkEnd,
                        txtEnd,  cmdPrevious, cmdNext,      cmdSave,      cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    showSlot(1);
    txtName->setFocus();
}

void frmAddOwn::showSlot(int slot) {
    m_slot = std::clamp(slot, 1, kSlots);
    const OwnCommand& own = m_table.slot[m_slot];
    fraCommand->setTitle(tr("Command (%1/%2)").arg(m_slot).arg(kSlots));
    for (QLineEdit* box : {txtName, txtCode, txtBeginning, txtEnd})
        box->clear();
    chkBeginning->setChecked(false);
    chkEnd->setChecked(false);
    txtBeginning->setEnabled(false);
    txtEnd->setEnabled(false);

    if (own.name != OwnCommandTable::defaultName(m_slot))
        txtName->setText(own.name);
    const OwnCommandParts parts = SplitOwnCommand(own.command);
    if (parts.hasBeginning) {
        chkBeginning->setChecked(true);
        txtBeginning->setText(parts.beginning);
    }
    if (parts.hasEnd) {
        chkEnd->setChecked(true);
        txtEnd->setText(parts.end);
    }
    txtCode->setText(parts.code);

    cmdPrevious->setEnabled(m_slot > 1);
    cmdNext->setEnabled(m_slot < kSlots && !own.command.isEmpty());
}

void frmAddOwn::cmdPrevious_Click() {
    if (m_slot > 1)
        showSlot(m_slot - 1);
}

void frmAddOwn::cmdNext_Click() {
    if (m_slot < kSlots && !m_table.slot[m_slot].command.isEmpty())
        showSlot(m_slot + 1);
}

void frmAddOwn::cmdSave_Click() {
    if (txtName->text().isEmpty() || txtCode->text().isEmpty()) {
        Dialogs::instance().message(this, MessageBoxTitle(), tr("Please give the command a name and a code."),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    OwnCommandParts parts;
    parts.hasBeginning = chkBeginning->isChecked();
    parts.beginning = txtBeginning->text();
    parts.hasEnd = chkEnd->isChecked();
    parts.end = txtEnd->text();
    parts.code = txtCode->text();

    OwnCommand& own = m_table.slot[m_slot];
    const OwnCommand previous = own;
    const bool wasVisible = m_table.visible[m_slot];
    own = {txtName->text(), JoinOwnCommand(parts)};
    m_table.visible[m_slot] = true;
    if (!WriteOwnCommands(m_path, m_table)) {
        // The table keeps only what the file holds; the typed texts stay, so Save can be tried again.
        own = previous;
        m_table.visible[m_slot] = wasVisible;
        Dialogs::instance().message(this, MessageBoxTitle(),
                                    tr("The own commands could not be saved: %1").arg(m_path),
                                    Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (m_slot < kSlots)
        cmdNext->setEnabled(true);
    emit saved(m_slot);
}

#include "moc_frmAddOwn.cpp"
