#include "editor/frmGoTo.h"

#include "editor/Search.h"
#include "platform/RichTextControl.h"
#include "platform/Version.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

frmGoTo::frmGoTo(RichTextControl& text, QWidget* parent) : QDialog(parent), m_text(text) {
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(tr("Quillora - Go To"));
    setModal(true);

    const int cursor = text.selStart();
    const int line = text.lineFromChar(cursor);
    const int lineStart = text.lineIndex(line);
    txtLineNr = new QLineEdit(QString::number(line + 1), this);
    txtLineNr->setObjectName(QStringLiteral("txtLineNr"));
    txtCharNr = new QLineEdit(QString::number(cursor - lineStart + 1), this);
    txtCharNr->setObjectName(QStringLiteral("txtCharNr"));
    // Digits only, typed or pasted.
    for (QLineEdit* box : {txtLineNr, txtCharNr}) {
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
        box->installEventFilter(this);
    }
    lblTotlines = new QLabel(QStringLiteral("/ ") + QString::number(text.lineCount()), this);
    lblTotlines->setObjectName(QStringLiteral("lblTotlines"));
    lblTotchars = new QLabel(QStringLiteral("/ ") + QString::number(text.lineLength(cursor) + 1), this);
    lblTotchars->setObjectName(QStringLiteral("lblTotchars"));
    auto* lineLabel = new QLabel(tr("Line Nr:"), this);
    auto* charLabel = new QLabel(tr("Character Nr:"), this);
    lineLabel->setBuddy(txtLineNr);
    charLabel->setBuddy(txtCharNr);

    cmdGoTo = new QPushButton(tr("&Go To"), this);
    cmdGoTo->setObjectName(QStringLiteral("cmdGoTo"));
    cmdGoTo->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdGoTo, &QPushButton::clicked, this, &frmGoTo::cmdGoTo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(lineLabel, 0, 0);
    grid->addWidget(txtLineNr, 0, 1);
    grid->addWidget(lblTotlines, 0, 2);
    grid->addWidget(charLabel, 1, 0);
    grid->addWidget(txtCharNr, 1, 1);
    grid->addWidget(lblTotchars, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdGoTo);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(txtLineNr, txtCharNr);
    setTabOrder(txtCharNr, cmdGoTo);
    setTabOrder(cmdGoTo, cmdCancel);
    txtLineNr->setFocus();
    txtLineNr->selectAll();
}

bool frmGoTo::eventFilter(QObject* watched, QEvent* event) {
    // Entering a box selects its whole text, so a number typed replaces it.
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void frmGoTo::cmdGoTo_Click() {
    m_text.setSelStart(GoToOffset(m_text, GoToNumber(txtLineNr->text()), GoToNumber(txtCharNr->text())));
    accept();
}

#include "moc_frmGoTo.cpp"
