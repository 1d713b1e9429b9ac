#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QMessageBox;
class QPrinter;
class QWidget;

// Everything a person answers goes through this seam: message boxes, questions and the
// common dialogs. The program installs the real Qt dialogs; tests install a scripted
// implementation that records what was asked and returns queued answers.
class Dialogs {
public:
    // YesNoDefaultNo: a question whose "Yes" loses something, so Enter answers "No".
    enum class Buttons { Ok, YesNo, YesNoCancel, YesNoDefaultNo };
    enum class Icon { Information, Question, Warning, Critical };
    enum class Answer { Ok, Yes, No, Cancel };

    // A file dialog request. The filter is in the editor's own form: pairs of description and
    // patterns separated by "|", patterns separated by ";" ("Text (*.txt)|*.txt|All|*.*").
    struct FileRequest {
        QString title;
        QString folder;
        QString filter;
        int filterIndex = 1; // 1-based, as in the filter string
        QString defaultSuffix;
    };

    struct PrintRequest {
        QPrinter* printer = nullptr;
        bool hasSelection = false;
    };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                           Icon icon) = 0;
    // A question with answers of its own, in the order shown; returns the index of the one chosen.
    // Enter chooses `defaultChoice`; Esc and closing the box choose `cancelChoice`.
    virtual int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices,
                       Icon icon, int defaultChoice, int cancelChoice) = 0;
    // Each returns the chosen path, or "" when the dialog was cancelled.
    virtual QString openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QString saveFile(QWidget* parent, const FileRequest& request) = 0;
    // Several files chosen at once: their full paths in the dialog's order, none when cancelled.
    virtual QStringList openFiles(QWidget* parent, const FileRequest& request) = 0;
    // A folder: its full path, or "" when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& prompt, const QString& folder) = 0;
    // The colour chosen, or nothing when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // Sets up the printer (copies, range, output) and returns false when cancelled.
    virtual bool print(QWidget* parent, const PrintRequest& request) = 0;

    // The program-wide instance; the real dialogs unless a test installed others.
    static Dialogs& instance();
    static void install(std::unique_ptr<Dialogs> dialogs);
};

// A message box as the program shows it: title and text as plain text, and wide enough for the
// window system to show its whole title (a box is only as wide as its text and buttons, and a
// short text would leave the title cut off).
void PrepareMessageBox(QMessageBox& box, const QString& title, const QString& text, Dialogs::Icon icon);

// Turns the editor's filter form into Qt's name filters ("Text (*.txt)"). "*.*" becomes "*": on
// this system a file's name needs no dot, and "*.*" would hide the files without one.
QStringList qtNameFilters(const QString& filter);

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                   Icon icon) override;
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices,
               Icon icon, int defaultChoice, int cancelChoice) override;
    QString openFile(QWidget* parent, const FileRequest& request) override;
    QString saveFile(QWidget* parent, const FileRequest& request) override;
    QStringList openFiles(QWidget* parent, const FileRequest& request) override;
    QString chooseFolder(QWidget* parent, const QString& prompt, const QString& folder) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool print(QWidget* parent, const PrintRequest& request) override;
};
