#pragma once

#include "markup/SearchPattern.h"

#include <QDialog>
#include <QString>

class DocumentHost;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class frmNotepad;

// What a search of the files of a folder looks for, and where.
struct FilesQuery {
    QString folder; // absolute, without a "/" at its end
    QString filter; // file name patterns separated by ";"
    QString find;
    QString replacement;
    SearchOptions options;
    bool hiddenFolders = false;
};

// "Find in Files": the find text, the folder and the kinds of file to search, and the options.
// Modeless, one instance; Find All and Replace All hand the query on (findAll, replaceAll) once it
// is sound: a folder that exists, a pattern that compiles. The program runs it and lists the
// results.
class frmFindInFiles : public QDialog {
    Q_OBJECT
public:
    frmFindInFiles(DocumentHost& host, QWidget* parent);

    // The file types searched unless the user says otherwise.
    static QString defaultFilter();

    // Shown over the main window, the folder that of `from`'s file (or the folder the file dialogs
    // start in), `from`'s selection as the find text when it is a short piece of one line.
    void showFor(frmNotepad* from);
    // The query as the boxes say.
    FilesQuery query() const;

    QComboBox *cmbFindFiles = nullptr, *cmbReplaceFiles = nullptr, *cmbFilter = nullptr;
    QLineEdit* txtFolder = nullptr;
    QCheckBox *chkCase = nullptr, *chkWholeWord = nullptr, *chkRegex = nullptr, *chkHidden = nullptr;
    QPushButton *cmdBrowse = nullptr, *cmdFindAll = nullptr, *cmdReplaceAll = nullptr, *cmdClose = nullptr;

public slots:
    void cmdFindAll_Click();
    void cmdReplaceAll_Click();
    void cmdBrowse_Click();
    void cmdClose_Click();

signals:
    void findAll(const FilesQuery& query);
    void replaceAll(const FilesQuery& query);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void updateButtons();
    // The query when it can run; else the user has been told why not and there is none.
    bool checkedQuery(FilesQuery& query);
    void tell(const QString& text);

    DocumentHost& m_host;
};
