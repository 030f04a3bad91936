// The web browser box on Qt WebEngine. Only this module links WebEngine, so a start that never opens a
// browser box does not pay for it.
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <unistd.h>

#include <algorithm>

#include "platform/qt/WebViewModule.h"

namespace {

// Silent: scripts get no dialogs of the page's own.
class SilentPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
};

// Offline: nothing leaves but local content.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != "file" && scheme != "data" && scheme != "qrc") info.block(true);
    }
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int mj_webview_api() {
    return kMjWebViewApi;
}

__attribute__((visibility("default"))) QWidget* mj_create_webview(const MjWebViewSettings* s, QWidget* parent) {
    // Chromium refuses its sandbox for root; only then is it turned off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    auto* view = new QWebEngineView(parent);
    QWebEnginePage* page = s->silent ? new SilentPage(view) : new QWebEnginePage(view);
    view->setPage(page);
    if (s->offline) page->setUrlRequestInterceptor(new OfflineInterceptor(page));
    // Chromium has no text-only zoom: the scale's five steps are default font sizes.
    static constexpr int kSizes[] = {12, 14, 16, 20, 24};
    page->settings()->setFontSize(QWebEngineSettings::DefaultFontSize, kSizes[std::clamp(s->textSize, 0, 4)]);
    view->setProperty("mjSilent", s->silent != 0);
    view->setProperty("mjOffline", s->offline != 0);
    if (s->startAddress && *s->startAddress) view->setUrl(QUrl(QString::fromUtf8(s->startAddress)));
    return view;
}
}
