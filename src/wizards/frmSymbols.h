#pragma once

#include <QDialog>

class DocumentHost;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The HTML reference of a character: the named entity of "<", ">", the double quote and of
// Å, å, Ä, ä, Ö, ö; "&#" + the decimal code point + ";" for any other character.
QString SymbolReference(QChar c);

// "Symbols": one instance, owned by the main window, shown without blocking the documents. Puts
// the reference of the character chosen in its list in place of the current document's selection.
class frmSymbols : public QDialog {
    Q_OBJECT
public:
    frmSymbols(DocumentHost& host, QWidget* parent);

    QListWidget* lstSymbols = nullptr;
    QPushButton *cmdInsert = nullptr, *cmdClose = nullptr;

public slots:
    // Inserts the reference of the selected entry; nothing without a selected entry or a document.
    void cmdInsert_Click();
    void cmdClose_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void lstSymbols_DblClick(QListWidgetItem* item);
    void insertSymbol(QListWidgetItem* item);

    DocumentHost& m_host;
};
