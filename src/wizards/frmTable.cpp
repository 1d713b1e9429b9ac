#include "wizards/frmTable.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;

} // namespace

frmTable::frmTable(DocumentHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmTable"));
    setWindowTitle(tr("Quillora - Tables"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    treTable = new QTreeWidget(this);
    treTable->setObjectName(QStringLiteral("treTable"));
    treTable->setAccessibleName(tr("Table, rows and cells"));
    treTable->setHeaderHidden(true);
    treTable->setMinimumWidth(160);
    // Also on keyboard moves, which select a node as a click does.
    connect(treTable, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { treTable_NodeClick(item); });

    tabTable = new QTabWidget(this);
    tabTable->setObjectName(QStringLiteral("tabTable"));
    const char* const tabs[3][2] = {
        {QT_TR_NOOP("Table"), QT_TR_NOOP("Change the table properties.")},
        {QT_TR_NOOP("Row"), QT_TR_NOOP("Add or change a row or its properties.")},
        {QT_TR_NOOP("Cell"), QT_TR_NOOP("Add or change a cell or its properties.")}};
    for (int i = 0; i < 3; ++i) {
        picProperties[i] = new QWidget;
        picProperties[i]->setObjectName(QStringLiteral("picProperties%1").arg(i));
        tabTable->addTab(picProperties[i], tr(tabs[i][0]));
        tabTable->setTabToolTip(i, tr(tabs[i][1]));
    }
    buildTablePage(picProperties[0]);
    buildRowPage(picProperties[1]);
    buildCellPage(picProperties[2]);

    lblTextruta = new QLabel(tr("Code in the cell:"), this);
    lblTextruta->setObjectName(QStringLiteral("lblTextruta"));
    txtCellContents = new QPlainTextEdit(this);
    txtCellContents->setObjectName(QStringLiteral("txtCellContents"));
    txtCellContents->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The preview's nesting is tabs; four blanks' width keeps a wide table readable.
    txtCellContents->setTabStopDistance(4 *
                                        txtCellContents->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    lblTextruta->setBuddy(txtCellContents);
    connect(txtCellContents, &QPlainTextEdit::textChanged, this, [this] {
        Node node;
        // The preview and the emptied box of a row never reach a record.
        if (selectedNode(node) && node.kind == NodeKind::Cell)
            storeCellText(&TableCell::Contents, txtCellContents->toPlainText());
    });

    cmdAdd = addButton(this, tr("&Add"), "cmdAdd");
    cmdClose = addButton(this, tr("&Close"), "cmdClose");
    connect(cmdAdd, &QPushButton::clicked, this, &frmTable::cmdAdd_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmTable::cmdClose_Click);

    auto* top = new QHBoxLayout;
    top->addWidget(treTable, 1);
    top->addWidget(tabTable, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblTextruta);
    layout->addWidget(txtCellContents, 1);
    layout->addLayout(buttons);

    Form_Load();
    treTable->setFocus();
}

QLineEdit* frmTable::addBox(QWidget* page, const char* name) {
    auto* box = new QLineEdit(page);
    box->setObjectName(QLatin1String(name));
    return box;
}

QPushButton* frmTable::addButton(QWidget* page, const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    // Enter is dropped in the number boxes, so no button may take it.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QCheckBox* frmTable::addCheckBox(QWidget* page, const QString& caption, const char* name) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QLatin1String(name));
    return box;
}

void frmTable::buildTablePage(QWidget* page) {
    txtWidth = addBox(page, "txtWidth");
    txtHeight = addBox(page, "txtHeight");
    txtBorderSize = addBox(page, "txtBorderSize");
    txtBorderColor = addBox(page, "txtBorderColor");
    txtBackcolor = addBox(page, "txtBackcolor");
    txtBackground = addBox(page, "txtBackground");
    cmdBrowse = addButton(page, QStringLiteral("..."), "cmdBrowse");
    txtPadding = addBox(page, "txtPadding");
    txtSpacing = addBox(page, "txtSpacing");
    txtClass = addBox(page, "txtClass");
    txtOther = addBox(page, "txtOther");
    // Digits only, typed or pasted; a per-cent width can still come from a table read.
    for (QLineEdit* box : {txtWidth, txtHeight, txtBorderSize, txtPadding, txtSpacing})
        digitsOnly(*box);
    for (QLineEdit* box : {txtBorderColor, txtBackcolor})
        openColorOnDoubleClick(*box, m_host, tr("Doubleclick to select color"));
    connect(cmdBrowse, &QPushButton::clicked, this, &frmTable::cmdBrowse_Click);
    // The preview follows the table's attributes while it is shown.
    for (QLineEdit* box : {txtWidth, txtHeight, txtBorderSize, txtBorderColor, txtBackcolor, txtBackground,
                           txtPadding, txtSpacing, txtClass, txtOther})
        connect(box, &QLineEdit::textChanged, this, [this] {
            Node node;
            if (selectedNode(node) && node.kind == NodeKind::Root)
                txtCellContents->setPlainText(tableCode());
        });

    auto* background = new QHBoxLayout;
    background->addWidget(txtBackground);
    background->addWidget(cmdBrowse);
    auto* form = new QFormLayout(page);
    form->addRow(tr("Width:"), txtWidth);
    form->addRow(tr("Height:"), txtHeight);
    form->addRow(tr("Border Size: "), txtBorderSize);
    form->addRow(tr("Border Color:"), txtBorderColor);
    form->addRow(tr("Backcolor:"), txtBackcolor);
    form->addRow(tr("Background:"), background);
    form->addRow(tr("CellPadding:"), txtPadding);
    form->addRow(tr("CellSpacing:"), txtSpacing);
    form->addRow(tr("Class:"), txtClass);
    form->addRow(tr("Other:"), txtOther);
    // A row of a box and its button gets a label that names nothing: it names the box.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(background)))
        label->setBuddy(txtBackground);
}

void frmTable::buildRowPage(QWidget* page) {
    cmdAddRow = addButton(page, tr("New Row"), "cmdAddRow");
    chkCopyRow = addCheckBox(page, tr("Make the new row a copy of the selected row."), "chkCopyRow");
    cmdDelRow = addButton(page, tr("Delete Row"), "cmdDelRow");
    auto* frame = new QGroupBox(tr("Move Row"), page);
    cmdRowUp = addButton(frame, tr("Up"), "cmdRowUp");
    cmdRowDown = addButton(frame, tr("Down"), "cmdRowDown");
    connect(cmdAddRow, &QPushButton::clicked, this, &frmTable::cmdAddRow_Click);
    connect(cmdDelRow, &QPushButton::clicked, this, &frmTable::cmdDelRow_Click);
    connect(cmdRowUp, &QPushButton::clicked, this, &frmTable::cmdRowUp_Click);
    connect(cmdRowDown, &QPushButton::clicked, this, &frmTable::cmdRowDown_Click);

    auto* move = new QHBoxLayout(frame);
    move->addWidget(cmdRowUp);
    move->addWidget(cmdRowDown);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cmdAddRow);
    layout->addWidget(chkCopyRow);
    layout->addWidget(cmdDelRow);
    layout->addWidget(frame);
    layout->addStretch();
}

void frmTable::buildCellPage(QWidget* page) {
    cmdAddCell = addButton(page, tr("New Cell"), "cmdAddCell");
    chkCopyCell = addCheckBox(page, tr("Use these settings for the new cell."), "chkCopyCell");
    cmdDelCell = addButton(page, tr("Delete Cell"), "cmdDelCell");
    auto* frame = new QGroupBox(tr("Move Cell"), page);
    cmdCellUp = addButton(frame, tr("Up"), "cmdCellUp");
    cmdCellDown = addButton(frame, tr("Down"), "cmdCellDown");
    chkHeader = addCheckBox(page, tr("Header"), "chkHeader");
    txtColspan = addBox(page, "txtColspan");
    txtRowspan = addBox(page, "txtRowspan");
    txtCellBgColor = addBox(page, "txtCellBgColor");
    openColorOnDoubleClick(*txtCellBgColor, m_host, tr("Doubleclick to select color"));
    txtCellOther = addBox(page, "txtCellOther");
    connect(cmdAddCell, &QPushButton::clicked, this, &frmTable::cmdAddCell_Click);
    connect(cmdDelCell, &QPushButton::clicked, this, &frmTable::cmdDelCell_Click);
    connect(cmdCellUp, &QPushButton::clicked, this, &frmTable::cmdCellUp_Click);
    connect(cmdCellDown, &QPushButton::clicked, this, &frmTable::cmdCellDown_Click);
    connect(chkHeader, &QCheckBox::toggled, this, [this](bool checked) {
        if (TableCell* cell = m_model.currentRecord())
            cell->Header = checked;
    });
    const std::pair<QLineEdit*, QString TableCell::*> fields[] = {{txtColspan, &TableCell::Colspan},
                                                                  {txtRowspan, &TableCell::Rowspan},
                                                                  {txtCellBgColor, &TableCell::BgColor},
                                                                  {txtCellOther, &TableCell::Other}};
    for (const auto& [box, field] : fields)
        connect(box, &QLineEdit::textChanged, this,
                [this, field = field](const QString& text) { storeCellText(field, text); });

    auto* move = new QHBoxLayout(frame);
    move->addWidget(cmdCellUp);
    move->addWidget(cmdCellDown);
    auto* form = new QFormLayout;
    form->addRow(chkHeader);
    form->addRow(tr("Colspan:"), txtColspan);
    form->addRow(tr("Rowspan:"), txtRowspan);
    form->addRow(tr("BgColor:"), txtCellBgColor);
    form->addRow(tr("Other:"), txtCellOther);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cmdAddCell);
    layout->addWidget(chkCopyCell);
    layout->addWidget(cmdDelCell);
    layout->addWidget(frame);
    layout->addLayout(form);
    layout->addStretch();
}

void frmTable::Form_Load() {
    EditableDocument* document = m_host.documents().currentEditable();
    const QString selection = document ? document->text().selText() : QString();
    m_source.clear();
    if (std::optional<TableReading> reading = ReadTable(selection)) {
        m_model = std::move(reading->model);
        showTableAttributes();
        m_source = document;
        m_sourceStart = document->text().selStart();
        m_sourceText = selection;
        m_readLength = reading->length;
    } else {
        m_model = NewTable(); // the table page keeps what it holds
    }
    showTree({NodeKind::Root, 0});
}

bool frmTable::selectedNode(Node& node) const {
    const QTreeWidgetItem* item = treTable->currentItem();
    if (!item)
        return false;
    node = {NodeKind(item->data(0, kKindRole).toInt()), item->data(0, kNumberRole).toInt()};
    return true;
}

void frmTable::treTable_NodeClick(QTreeWidgetItem* item) {
    Node node;
    if (m_drawing || !item || !selectedNode(node))
        return;
    const QString label = item->text(0);
    switch (node.kind) {
    case NodeKind::Row:
        tabTable->setCurrentIndex(1);
        tabTable->setTabText(1, label);
        lblTextruta->setText(QString());
        txtCellContents->setPlainText(QString());
        break;
    case NodeKind::Cell: {
        tabTable->setCurrentIndex(2);
        tabTable->setTabText(2, label);
        lblTextruta->setText(tr("Code in the cell:"));
        m_model.CurrentCell = node.number;
        const TableCell cell = m_model.Cells[node.number]; // each box stores its own field back
        chkHeader->setChecked(cell.Header);
        txtColspan->setText(cell.Colspan);
        txtRowspan->setText(cell.Rowspan);
        txtCellBgColor->setText(cell.BgColor);
        txtCellContents->setPlainText(cell.Contents);
        txtCellOther->setText(cell.Other);
        break;
    }
    case NodeKind::Root:
        tabTable->setCurrentIndex(0);
        tabTable->setTabText(0, tr("Table"));
        lblTextruta->setText(tr("Preview of table code:"));
        txtCellContents->setPlainText(tableCode());
        break;
    }
    // Only a cell's own code is edited there: typing into the preview would go nowhere.
    txtCellContents->setReadOnly(node.kind != NodeKind::Cell);
}

void frmTable::showTree(Node select, int expandRow) {
    QSet<int> expanded{expandRow};
    QTreeWidgetItem* root = treTable->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        if (root->child(i)->isExpanded())
            expanded.insert(root->child(i)->data(0, kNumberRole).toInt());

    m_drawing = true;
    treTable->clear();
    const auto node = [](QTreeWidgetItem* parent, const QString& key, NodeKind kind, int number) {
        auto* item = new QTreeWidgetItem(parent, {key + (number ? QString::number(number) : QString())});
        item->setData(0, kKindRole, int(kind));
        item->setData(0, kNumberRole, number);
        return item;
    };
    root = new QTreeWidgetItem(treTable, {tr("Table")});
    root->setData(0, kKindRole, int(NodeKind::Root));
    QTreeWidgetItem* selected = root;
    for (const TableRow& row : m_model.Rows) {
        QTreeWidgetItem* rowItem = node(root, tr("Row"), NodeKind::Row, row.Number);
        if (select.kind == NodeKind::Row && select.number == row.Number)
            selected = rowItem;
        for (const int number : row.Cells) {
            QTreeWidgetItem* cellItem = node(rowItem, tr("Cell"), NodeKind::Cell, number);
            if (select.kind == NodeKind::Cell && select.number == number)
                selected = cellItem;
        }
        rowItem->setExpanded(expanded.contains(row.Number));
    }
    root->setExpanded(true);
    m_drawing = false;
    treTable->setCurrentItem(selected);
    treTable->scrollToItem(selected);
}

void frmTable::storeCellText(QString TableCell::*field, const QString& text) {
    // Without a current record (a table read without cells) the boxes edit nothing.
    if (TableCell* cell = m_model.currentRecord())
        cell->*field = text;
}

void frmTable::showTableAttributes() {
    const TableAttributes& table = m_model.Table;
    txtWidth->setText(table.Width);
    txtHeight->setText(table.Height);
    txtBorderSize->setText(table.Border);
    txtBorderColor->setText(table.BorderColor);
    txtBackcolor->setText(table.BackColor);
    txtBackground->setText(table.Background);
    txtPadding->setText(table.Padding);
    txtSpacing->setText(table.Spacing);
    txtClass->setText(table.Class);
    txtOther->setText(table.Other);
}

TableAttributes frmTable::tableAttributes() const {
    return {txtWidth->text(),     txtHeight->text(),     txtBorderSize->text(), txtBorderColor->text(),
            txtBackcolor->text(), txtBackground->text(), txtPadding->text(),    txtSpacing->text(),
            txtClass->text(),     txtOther->text()};
}

QString frmTable::tableCode() {
    m_model.Table = tableAttributes();
    return BuildTableCode(m_model, m_host.settings().Indent);
}

void frmTable::cmdAddRow_Click() {
    Node node;
    const bool rowSelected = selectedNode(node) && node.kind == NodeKind::Row;
    const int copyOf = rowSelected && chkCopyRow->isChecked() ? node.number : 0;
    const int number = m_model.addRow(copyOf);
    showTree({NodeKind::Row, number}, number);
}

void frmTable::cmdDelRow_Click() {
    Node node;
    if (!selectedNode(node) || node.kind != NodeKind::Row)
        return;
    const int index = m_model.rowIndex(node.number);
    m_model.deleteRow(node.number);
    // The row that takes its place is selected, or the one above, so deleting can go on.
    const int next = std::min(index, int(m_model.Rows.size()) - 1);
    showTree(next >= 0 ? Node{NodeKind::Row, m_model.Rows[next].Number} : Node{});
}

void frmTable::moveRow(int step) {
    Node node;
    if (!selectedNode(node) || node.kind != NodeKind::Row)
        return;
    if (m_model.moveRow(node.number, step))
        showTree(node);
    treTable->setFocus();
}

void frmTable::cmdAddCell_Click() {
    Node node;
    int rowNumber = 0;
    if (selectedNode(node) && node.kind == NodeKind::Row) {
        rowNumber = node.number;
    } else if (node.kind == NodeKind::Cell) {
        const CellPlace place = m_model.findCell(node.number);
        rowNumber = place.found() ? m_model.Rows[place.row].Number : 0;
    }
    if (rowNumber == 0) {
        Dialogs::instance().message(
            this, MessageBoxTitle(),
            tr("Please select the row where you want the cell to be inserted in the tree list."),
            Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    TableCell settings;
    settings.BgColor = txtCellBgColor->text();
    settings.Colspan = txtColspan->text();
    settings.Contents = txtCellContents->toPlainText();
    settings.Header = chkHeader->isChecked();
    settings.Other = txtCellOther->text();
    settings.Rowspan = txtRowspan->text();
    const int number = m_model.addCell(rowNumber, chkCopyCell->isChecked() ? &settings : nullptr);
    showTree({NodeKind::Cell, number}); // the new cell is the one the boxes now edit
}

void frmTable::cmdDelCell_Click() {
    Node node;
    if (!selectedNode(node) || node.kind != NodeKind::Cell)
        return;
    const CellPlace place = m_model.findCell(node.number);
    if (!place.found())
        return;
    m_model.deleteCell(node.number);
    // The cell that takes its place is selected, or the one before it, or else its row.
    const TableRow& row = m_model.Rows[place.row];
    const int next = std::min(place.position, int(row.Cells.size()) - 1);
    showTree(next >= 0 ? Node{NodeKind::Cell, row.Cells[next]} : Node{NodeKind::Row, row.Number});
}

void frmTable::moveCell(int step) {
    Node node;
    if (!selectedNode(node) || node.kind != NodeKind::Cell)
        return;
    if (m_model.moveCell(node.number, step))
        showTree(node);
    treTable->setFocus();
}

void frmTable::cmdBrowse_Click() {
    setRelativePath(*txtBackground, m_host, ShowPictureDialog(m_host));
}

void frmTable::cmdAdd_Click() {
    EditableDocument* document = m_host.documents().currentEditable();
    if (!document)
        return;
    // A table read from the selection is written back over the part read (text behind its end
    // tag stays), as long as that selection is still there as it was.
    RichTextControl& text = document->text();
    if (m_source == document && text.selStart() == m_sourceStart && text.selText() == m_sourceText)
        text.setSelLength(m_readLength);
    m_source.clear();
    document->InsertAtCursor(tableCode());
}

void frmTable::cmdClose_Click() {
    close();
}

#include "moc_frmTable.cpp"
