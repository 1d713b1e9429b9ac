#pragma once

#include "markup/TableModel.h"

#include <QDialog>
#include <QPointer>

class DocumentHost;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class EditableDocument;

// "Quillora - Tables": a table designed as a tree of rows and cells, with the table's and each
// cell's attributes, put into the current document. Opened on a selection that begins with a
// table, it edits that table and writes it back in its place. One instance, not modal.
class frmTable : public QDialog {
    Q_OBJECT
public:
    frmTable(DocumentHost& host, QWidget* parent);

    // Reads the table the current document's selection begins with, or starts a new one.
    void Form_Load();
    const TableModel& model() const { return m_model; }

    QTreeWidget* treTable = nullptr;
    QTabWidget* tabTable = nullptr;
    QWidget* picProperties[3] = {}; // the table, row and cell pages
    QLineEdit *txtWidth = nullptr, *txtHeight = nullptr, *txtBorderSize = nullptr, *txtBorderColor = nullptr,
              *txtBackcolor = nullptr, *txtBackground = nullptr, *txtPadding = nullptr, *txtSpacing = nullptr,
              *txtClass = nullptr, *txtOther = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton *cmdAddRow = nullptr, *cmdDelRow = nullptr, *cmdRowUp = nullptr, *cmdRowDown = nullptr;
    QCheckBox* chkCopyRow = nullptr;
    QPushButton *cmdAddCell = nullptr, *cmdDelCell = nullptr, *cmdCellUp = nullptr, *cmdCellDown = nullptr;
    QCheckBox *chkCopyCell = nullptr, *chkHeader = nullptr;
    QLineEdit *txtColspan = nullptr, *txtRowspan = nullptr, *txtCellBgColor = nullptr,
              *txtCellOther = nullptr;
    QLabel* lblTextruta = nullptr;
    QPlainTextEdit* txtCellContents = nullptr;
    QPushButton *cmdAdd = nullptr, *cmdClose = nullptr;

public slots:
    void cmdAddRow_Click();
    void cmdDelRow_Click();
    void cmdRowUp_Click() { moveRow(-1); }
    void cmdRowDown_Click() { moveRow(1); }
    void cmdAddCell_Click();
    void cmdDelCell_Click();
    void cmdCellUp_Click() { moveCell(-1); }
    void cmdCellDown_Click() { moveCell(1); }
    void cmdBrowse_Click();
    void cmdAdd_Click();
    void cmdClose_Click();

private:
    enum class NodeKind { Root, Row, Cell };
    struct Node {
        NodeKind kind = NodeKind::Root;
        int number = 0; // the row or cell number
    };

    void buildTablePage(QWidget* page);
    void buildRowPage(QWidget* page);
    void buildCellPage(QWidget* page);
    QLineEdit* addBox(QWidget* page, const char* name);
    QPushButton* addButton(QWidget* page, const QString& caption, const char* name);
    QCheckBox* addCheckBox(QWidget* page, const QString& caption, const char* name);

    // The selected node of the tree, if any.
    bool selectedNode(Node& node) const;
    void treTable_NodeClick(QTreeWidgetItem* item);
    // Draws the tree afresh from the model (rows keep their expanded state) and selects `select`.
    void showTree(Node select, int expandRow = 0);
    void storeCellText(QString TableCell::*field, const QString& text);
    void showTableAttributes();
    TableAttributes tableAttributes() const;
    QString tableCode();
    void moveRow(int step);
    void moveCell(int step);

    DocumentHost& m_host;
    TableModel m_model;
    // The selection the table was read from, replaced by the part read when it is still there.
    QPointer<EditableDocument> m_source;
    int m_sourceStart = 0;
    QString m_sourceText;
    int m_readLength = 0;
    bool m_drawing = false;
};
