#include "wizards/frmSymbols.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The characters of the list by code point: the three that markup must escape and the six
// Swedish letters first, then Latin-1 from the inverted exclamation mark to ÿ.
QList<char16_t> symbolCodes() {
    QList<char16_t> codes{u'<', u'>', u'"', 0x00E5, 0x00C5, 0x00E4, 0x00C4, 0x00F6, 0x00D6};
    for (char16_t code = 0x00A1; code <= 0x00FF; ++code)
        codes << code;
    return codes;
}

} // namespace

QString SymbolReference(QChar c) {
    switch (c.unicode()) {
    case u'<':
        return QStringLiteral("&lt;");
    case u'>':
        return QStringLiteral("&gt;");
    case u'"':
        return QStringLiteral("&quot;");
    case 0x00C5:
        return QStringLiteral("&Aring;");
    case 0x00E5:
        return QStringLiteral("&aring;");
    case 0x00C4:
        return QStringLiteral("&Auml;");
    case 0x00E4:
        return QStringLiteral("&auml;");
    case 0x00D6:
        return QStringLiteral("&Ouml;");
    case 0x00F6:
        return QStringLiteral("&ouml;");
    default:
        return QStringLiteral("&#") + QString::number(c.unicode()) + QLatin1Char(';');
    }
}

frmSymbols::frmSymbols(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmSymbols"));
    setWindowTitle(tr("Symbols"));
    setModal(false);

    lstSymbols = new QListWidget(this);
    lstSymbols->setObjectName(QStringLiteral("lstSymbols"));
    lstSymbols->setAccessibleName(tr("Symbols"));
    lstSymbols->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont big = lstSymbols->font();
    big.setPointSizeF(qMax<qreal>(16, big.pointSizeF() * 1.6));
    lstSymbols->setFont(big);
    // A table of characters: rows of equal cells, wrapped to the width of the list.
    lstSymbols->setFlow(QListView::LeftToRight);
    lstSymbols->setWrapping(true);
    lstSymbols->setResizeMode(QListView::Adjust);
    lstSymbols->setUniformItemSizes(true);
    const QFontMetrics metrics(big);
    const int cell = qMax(metrics.height(), metrics.horizontalAdvance(QChar(0x00C6))) + 12;
    lstSymbols->setGridSize(QSize(cell, cell));
    for (const char16_t code : symbolCodes()) {
        auto* item = new QListWidgetItem(QString(QChar(code)), lstSymbols);
        item->setTextAlignment(Qt::AlignCenter);
        item->setToolTip(SymbolReference(QChar(code)));
    }
    lstSymbols->setMinimumSize(cell * 12 + 24, cell * 6);

    cmdInsert = new QPushButton(tr("&Insert"), this);
    cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    cmdInsert->setDefault(true);
    cmdClose = new QPushButton(tr("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdInsert, &QPushButton::clicked, this, &frmSymbols::cmdInsert_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSymbols::cmdClose_Click);
    // Not itemActivated: Enter activates the entry and also presses the default button.
    connect(lstSymbols, &QListWidget::itemDoubleClicked, this, &frmSymbols::lstSymbols_DblClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdInsert);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstSymbols);
    layout->addLayout(buttons);

    setTabOrder(lstSymbols, cmdInsert);
    setTabOrder(cmdInsert, cmdClose);
}

void frmSymbols::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) // restored from minimised, not opened
        return;
    // Every opening starts on the list's first entry, whatever was chosen before it was closed.
    lstSymbols->setCurrentRow(0);
    lstSymbols->scrollToTop();
    lstSymbols->setFocus();
}

void frmSymbols::cmdInsert_Click() {
    const QList<QListWidgetItem*> selected = lstSymbols->selectedItems();
    if (!selected.isEmpty())
        insertSymbol(selected.first());
}

void frmSymbols::cmdClose_Click() {
    hide();
}

void frmSymbols::lstSymbols_DblClick(QListWidgetItem* item) {
    if (item && item->isSelected())
        insertSymbol(item);
}

void frmSymbols::insertSymbol(QListWidgetItem* item) {
    EditableDocument* document = m_host.documents().currentEditable();
    if (!document)
        return;
    document->ReplaceSelection(SymbolReference(item->text().at(0)));
}

#include "moc_frmSymbols.cpp"
