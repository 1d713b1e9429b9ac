#include "app/BrowserLoader.h"

#include "editor/BrowserWindow.h"
#include "platform/Log.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QPluginLoader>

QT_BEGIN_NAMESPACE
// Qt's own (exported from Qt GUI, and declared so by Qt WebEngine too): sets the context every
// OpenGL context of the program shares its resources with.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

const char* const kBrowserModuleFile = "quillora-browser.so";

QStringList BrowserModuleFolders() {
    // A folder named in the environment replaces the usual ones: a build run from another folder.
    const QString named = qEnvironmentVariable("QUILLORA_MODULE_DIR");
    if (!named.isEmpty())
        return {named};
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/" QUILLORA_MODULE_FOLDER))};
}

namespace {
// The engine draws pages with OpenGL contexts that share resources with one context of the whole
// program, which must exist before the engine is loaded. It is made here, on first use, rather than
// by Qt at start (Qt::AA_ShareOpenGLContexts): that would map the OpenGL driver, tens of megabytes,
// into every session, whether it ever shows a page or not. Without OpenGL (offscreen, or no driver)
// the context is not valid, and the engine draws without it as it would have.
void provideSharedOpenGLContext() {
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create())
        qCDebug(lcQuillora) << "No OpenGL context for the browser engine: it draws without one";
    qt_gl_set_global_share_context(context);
}
} // namespace

BrowserLoader::BrowserLoader(QStringList folders) : m_folders(std::move(folders)) {}

// The module itself stays mapped until the program ends (see the load hint below).
BrowserLoader::~BrowserLoader() = default;

BrowserModule* BrowserLoader::load() {
    if (m_module)
        return m_module;
    for (QObject* instance : QPluginLoader::staticInstances())
        if (auto* module = qobject_cast<BrowserModule*>(instance))
            return m_module = module;
    QString path;
    for (const QString& folder : std::as_const(m_folders)) {
        const QString candidate = QDir(folder).filePath(QLatin1String(kBrowserModuleFile));
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        m_error = QCoreApplication::translate("BrowserLoader", "%1 is missing: it was looked for in %2.")
                      .arg(QLatin1String(kBrowserModuleFile), m_folders.join(QStringLiteral(", ")));
        return nullptr;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    provideSharedOpenGLContext();
    m_plugin = std::make_unique<QPluginLoader>(path);
    // The engine is never unloaded: its threads and the pages' processes outlive any one window.
    m_plugin->setLoadHints(QLibrary::PreventUnloadHint);
    QObject* instance = m_plugin->instance();
    m_module = qobject_cast<BrowserModule*>(instance);
    QApplication::restoreOverrideCursor();
    if (!m_module) {
        m_error = instance
                      ? QCoreApplication::translate("BrowserLoader", "%1 is not Quillora's browser module.")
                            .arg(QDir::toNativeSeparators(path))
                      : m_plugin->errorString();
        qCWarning(lcQuillora) << "The browser module could not be loaded:" << m_error;
        return nullptr;
    }
    qCDebug(lcQuillora) << "Browser module loaded in" << clock.elapsed() << "ms";
    m_error.clear();
    return m_module;
}
