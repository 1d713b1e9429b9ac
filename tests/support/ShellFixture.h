#pragma once

#include "editor/CommandTable.h"
#include "editor/DocumentHost.h"
#include "editor/SearchState.h"
#include "editor/frmFind.h"
#include "editor/mdlFile.h"
#include "platform/RichTextControl.h"
#include "support/HostFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>

// What document windows, wizards and file commands need of a program, without the main window, on a
// private program folder. What only the main window does (browser windows, the Settings dialog, Exit)
// is counted in `requests`, so a test can tell it was asked for.
class FakeShell : public QWidget, public DocumentHost {
public:
    explicit FakeShell(QString programFolder)
        : m_programFolder(std::move(programFolder)), m_commands(BuildCommandTable()) {
        seedDataFiles();
        m_settings.DefaultDir = m_programFolder + QLatin1Char('/');
        m_dialogFolder = m_programFolder;
        auto* layout = new QVBoxLayout(this);
        m_mdi = new QMdiArea(this);
        layout->addWidget(m_mdi);
        resize(900, 700);
        QObject::connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
            if (auto* document = qobject_cast<frmNotepad*>(window)) {
                m_documents.setCurrent(document->slot());
                m_documents.DocumentActive = !document->isMinimized();
            }
        });
    }
    ~FakeShell() override {
        delete m_find;
        // The document windows go first, while the table they report to still exists.
        delete m_mdi;
    }

    DocumentTable& documents() override { return m_documents; }
    const Settings& settings() const override { return m_settings; }
    Settings& mutableSettings() { return m_settings; }
    QString programFolder() const override { return m_programFolder; }
    QMdiArea* mdiArea() const override { return m_mdi; }
    QWidget* dialogParent() override { return this; }
    QString dialogFolder() const override { return m_dialogFolder; }
    void setDialogFolder(const QString& folder) override { m_dialogFolder = folder; }
    void addToRecent(const QString& path) override { recent.prepend(path); }
    void refreshRecentMenus() override {}
    void openFiles(const QStringList& paths) override {
        for (const QString& path : paths)
            OpenDocument(*this, path);
    }
    void exitProgram() override { requests << QStringLiteral("exit"); }
    void showContextMenu(frmNotepad&, const QPoint& at) override {
        requests << QStringLiteral("context menu at %1,%2").arg(at.x()).arg(at.y());
    }
    const CommandTable& commands() const override { return m_commands; }
    SearchState& searchState() override { return m_search; }
    frmFind& findDialog() override {
        if (!m_find)
            m_find = new frmFind(*this, this);
        return *m_find;
    }
    void showSettings(bool modal) override {
        requests << QStringLiteral("settings%1").arg(modal ? " modal" : "");
    }
    void changeSettings(const std::function<void(Settings&)>& change) override {
        change(m_settings);
        for (const auto& document : m_documents.Documents)
            if (document)
                document->applyViewSettings();
    }
    const QStringList& commandWords() const override { return words; }
    QStringList& mutableCommandWords() { return words; }
    BrowserWindow* OpenBrowser(const QString& address) override {
        requests << QStringLiteral("browser ") + address;
        return nullptr;
    }
    void showStatusMessage(const QString& text) override { statusMessage = text; }

    QStringList requests, recent;
    QString statusMessage; // the last one shown
    QStringList words{QString()};

private:
    // The program's data files (the default template, the CSS builder's word lists...) in its folder.
    void seedDataFiles() const {
        const QString source = QStringLiteral(QUILLORA_TESTS_FOLDER "/../data");
        QDirIterator files(source, {"*.txt", "*.htm"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            const QString target = m_programFolder + file.mid(source.size());
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(file, target);
        }
    }

    QString m_programFolder;
    QString m_dialogFolder;
    Settings m_settings;
    DocumentTable m_documents;
    SearchState m_search;
    CommandTable m_commands;
    QMdiArea* m_mdi = nullptr;
    QPointer<frmFind> m_find;
};

// A fake shell with scripted dialogs: AppFixture for tests that need no main window.
struct ShellFixture : HostFixture<FakeShell> {
    // The shell, shown, with the files of `paths` open, or one new document.
    FakeShell& start(const QStringList& paths = {}) {
        main = std::make_unique<FakeShell>(env.programFolder());
        main->show();
        if (paths.isEmpty())
            NewDocument(*main);
        else
            main->openFiles(paths);
        return *main;
    }
};
