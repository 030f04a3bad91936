#include <QCoreApplication>
#include <QOpenGLContext>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/qt/WebViewModule.h"

// QtGui's own hook for the context that WebEngine shares; set here, late, instead of at every start.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace mj::platform::qt {
namespace {

// WebEngine draws through a context shared with the application. Asking Qt for one at start-up
// (Qt::AA_ShareOpenGLContexts) loads the GL driver in every run; it is made here, when the first browser box
// needs it.
void ShareContext() {
    if (QOpenGLContext::globalShareContext()) return;
    // As Qt itself does for the attribute: the context is shared even where creating it fails (no GL), and
    // WebEngine then draws in software.
    auto* context = new QOpenGLContext;  // lives as long as the process
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

std::string g_folder;
MjCreateWebViewFn g_create = nullptr;
bool g_tried = false;

// Loaded once and never unloaded: the views it made live in its code.
void Load() {
    if (g_tried) return;
    g_tried = true;
    ShareContext();
    std::string folder = g_folder.empty() ? QCoreApplication::applicationDirPath().toStdString() : g_folder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string path = folder + kWebViewModuleFile;
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        std::fprintf(stderr, "web browser box unavailable: %s\n", dlerror());
        return;
    }
    auto api = reinterpret_cast<MjWebViewApiFn>(dlsym(h, "mj_webview_api"));
    auto create = reinterpret_cast<MjCreateWebViewFn>(dlsym(h, "mj_create_webview"));
    if (!api || !create || api() != kMjWebViewApi) {
        std::fprintf(stderr, "web browser box unavailable: %s is not a module of this program\n", path.c_str());
        dlclose(h);
        return;
    }
    g_create = create;
}

}  // namespace

void SetWebViewModuleFolder(const std::string& folder) {
    g_folder = folder;
}

QWidget* CreateWebView(const MjWebViewSettings& s, QWidget* parent) {
    Load();
    if (g_create)
        if (QWidget* w = g_create(&s, parent)) return w;
    return new QWidget(parent);
}

bool WebViewModuleLoaded() {
    return g_create != nullptr;
}

}  // namespace mj::platform::qt
