// Takes the project's screenshots with the program's own code under a real display (tools/screenshots.sh):
// every window, MainWindow and a search window in each skin, MainWindow in the middle of a paced download,
// and the client-area pictures the guide picture is composed from. Usage: mj_shots OUTDIR
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cstdio>

#include "app/AppState.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/WebViewModule.h"
#include "platform/shell/DlLibraries.h"
#include "platform/shell/XdgShell.h"
#include "skin/Skin.h"
#include "support/TestServer.h"
#include "ui/Definitions.h"

namespace {

using namespace mj;

// The real shell, with the folders it writes to kept in a scratch tree.
class ScratchShell : public platform::shell::XdgShell {
public:
    explicit ScratchShell(std::string root) : root_(std::move(root)) {}
    std::optional<std::string> SpecialFolder(platform::Folder f) override {
        switch (f) {
            case platform::Folder::Desktop: return root_ + "/Desktop/";
            case platform::Folder::System: return root_ + "/system/";
            case platform::Folder::Temporary: return root_ + "/tmp/";
        }
        return std::nullopt;
    }
    bool Open(const std::string&) override { return true; }  // screenshots open nothing

private:
    std::string root_;
};

QString g_out;

void Settle(int ms = 400) {
    QTest::qWait(ms);
}

// The window as the screen shows it, frame included when the window manager draws one.
void Shoot(QWidget* w, const QString& name) {
    Settle();
    QScreen* screen = w->screen();
    const QRect r = w->frameGeometry();
    QPixmap shot = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height());
    shot.save(g_out + "/" + name + ".png");
    std::printf("%s/%s.png\n", qPrintable(g_out), qPrintable(name));
}

// The client area only, for composing the guide picture.
void ShootClient(QWidget* w, const QString& name) {
    Settle(200);
    w->grab().save(g_out + "/" + name + ".png");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);
    platform::qt::UseDesktopFont();
    platform::qt::SetWebViewModuleFolder(QCoreApplication::applicationDirPath().toStdString());
    const QString scratch = g_out + "/.scratch";
    for (const char* d : {"/Desktop", "/system", "/tmp"}) QDir().mkpath(scratch + d);
    ScratchShell shell(scratch.toStdString());
    platform::qt::QtToolkit toolkit(shell);
    platform::qt::UseWebViewModule(toolkit);
    platform::shell::DlLibraries libs(shell, "");
    platform::Platform platform{toolkit, shell, toolkit, libs};
    StartProgram(platform);
    QWidget* main = toolkit.Widget("MainWindow");

    Shoot(main, "main");
    ShootClient(main, "guide-main");
    const std::pair<const platform::WindowDef*, const char*> windows[] = {
        {&ui::VideoSearchWindow(), "video-search"},
        {&ui::MovieDownloadSearchWindow(), "movie-search"},
        {&ui::NetDiskSearchWindow(), "netdisk-search"},
        {&ui::AboutWindow(), "about"},
        {&ui::GuideWindow(), "guide"},
        {&ui::WebTvWindow(), "webtv"}};
    for (const auto& [def, name] : windows) {
        toolkit.OpenWindow(*def, {}, false);
        QWidget* w = toolkit.Widget(def->name);
        if (def->name == "VideoSearchWindow") toolkit.SetText(def->name, "编辑框1", "阿凡达");
        if (def->name == "WebTvWindow") Settle(2500);
        Shoot(w, name);
        if (std::string(name).find("search") != std::string::npos) ShootClient(w, QString("guide-") + name);
        toolkit.CloseWindow(def->name);
        Settle(100);
    }

    for (int n = 1; n <= 8; ++n) {
        ApplySkin(n);
        toolkit.OpenWindow(ui::VideoSearchWindow(), {}, false);
        Shoot(main, QString("skin-%1-main").arg(n));
        Shoot(toolkit.Widget("VideoSearchWindow"), QString("skin-%1-video-search").arg(n));
        toolkit.CloseWindow("VideoSearchWindow");
    }
    ApplySkin(3);

    // A paced download from a server on this machine: 60 connections of 20480 bytes a second.
    test::FaultServer server;
    App().UpdateUrl = server.Url("/ok/12000000");
    qobject_cast<QComboBox*>(toolkit.Widget("MainWindow", "组合框"))->setCurrentIndex(2);
    toolkit.RestoreNormal("MainWindow");
    QTest::mouseClick(toolkit.Widget("MainWindow", "按钮1"), Qt::LeftButton);
    Settle(4300);
    Shoot(main, "downloading");
    std::vector<unsigned char> resume;
    App().Ending = true;
    dl::StopTask(App().Downloader.get(), resume, 2);
    toolkit.RemoveTrayIcon("MainWindow");
    QDir(scratch).removeRecursively();
    toolkit.EndProgram(0);
}
