#include <QApplication>
#include <QFont>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

#include "platform/Platform.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/WebViewModule.h"
#include "platform/shell/DlLibraries.h"
#include "platform/shell/XdgShell.h"

namespace mj::platform {
namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char b = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &b, 1);
}

// SIGTERM and SIGINT end the program like the end of the desktop session: the normal end sequence.
void RouteTerminationTo(qt::QtToolkit& toolkit) {
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &toolkit);
    QObject::connect(notifier, &QSocketNotifier::activated, &toolkit, [&toolkit] {
        char b;
        while (read(g_signalPipe[0], &b, 1) > 0) {
        }
        toolkit.SessionEnding();
    });
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

}  // namespace

void qt::UseDesktopFont() {
    // Without a Simplified Chinese family first in line, Han characters may come out in Japanese forms.
    // The windows were laid out for a 12-pixel GUI font; a larger desktop default would spill out of them.
    QFont f = QApplication::font();
    f.setFamilies({f.family(), "Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    f.setPixelSize(12);
    QApplication::setFont(f);
}

void qt::UseWebViewModule(QtToolkit& toolkit) {
    toolkit.SetControlFactory(ControlKind::WebBrowser, [](const ControlDef& c, QWidget* parent) {
        const MjWebViewSettings s{c.startAddress.c_str(), c.textSize, c.offline ? 1 : 0, c.silent ? 1 : 0};
        return CreateWebView(s, parent);
    });
}

int RunPlatform(int argc, char** argv, ProgramEntryFn entry) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("mijutong");
    QApplication::setDesktopFileName("mijutong");
    qt::UseDesktopFont();
    if (chdir(QCoreApplication::applicationDirPath().toLocal8Bit().constData()) != 0) {
        // The program uses absolute paths only; a folder it cannot enter changes nothing.
    }
    shell::XdgShell shell;
    qt::QtToolkit toolkit(shell);
    RouteTerminationTo(toolkit);
    qt::UseWebViewModule(toolkit);
    shell::DlLibraries libs(shell, QCoreApplication::applicationDirPath().toStdString());
    toolkit.AddShutdownStep([&libs] { libs.UnloadAll(); });
    Platform platform{toolkit, shell, toolkit, libs};
    const int code = entry(platform);
    toolkit.EndProgram(code);
}

}  // namespace mj::platform
