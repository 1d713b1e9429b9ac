#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class BrowserModule;
class QPluginLoader;
class QWidget;

// The browser module's file, as the build and the package name it.
extern const char* const kBrowserModuleFile;

// Where the browser module is looked for: beside the program (as built), then in the program's
// private library folder (as installed); only in the folder QUILLORA_MODULE_DIR names, if it is set.
QStringList BrowserModuleFolders();

// Loads the browser module the first time it is asked for. A module built into the program (as
// the tests link it) is taken as it is; otherwise the module file is loaded from the first of
// `folders` that holds one.
class BrowserLoader {
public:
    explicit BrowserLoader(QStringList folders = BrowserModuleFolders());
    ~BrowserLoader();
    BrowserLoader(const BrowserLoader&) = delete;
    BrowserLoader& operator=(const BrowserLoader&) = delete;

    // The module, loaded now if it was not (with a busy cursor: the engine's libraries are large);
    // null when it cannot be, and `error()` says why.
    BrowserModule* load();
    // The module when it is loaded already, null otherwise: nothing is loaded.
    BrowserModule* loaded() const { return m_module; }
    QString error() const { return m_error; }

private:
    QStringList m_folders;
    BrowserModule* m_module = nullptr;
    std::unique_ptr<QPluginLoader> m_plugin;
    QString m_error;
};
