#include <QCoreApplication>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/qt/WebViewModule.h"

namespace mj::platform::qt {
namespace {

std::string g_folder;
MjCreateWebViewFn g_create = nullptr;
bool g_tried = false;

// Loaded once and never unloaded: the views it made live in its code.
void Load() {
    if (g_tried) return;
    g_tried = true;
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
