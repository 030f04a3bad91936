// The GUI tests' main: one QApplication on the offscreen platform, a recording browser for the shell.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>

#include <cstdlib>

#include "platform/qt/QtToolkit.h"
#include "platform/qt/WebViewModule.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static std::string runtime = QDir::tempPath().toStdString() + "/mj-test-xdg-" + std::to_string(getuid());
    QDir().mkpath(QString::fromStdString(runtime));
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
    setenv("BROWSER", MJ_RECORDER, 1);
    QApplication app(argc, argv);
    mj::platform::qt::UseDesktopFont();
    mj::platform::qt::SetWebViewModuleFolder(MJ_WEBVIEW_DIR);
    return RUN_ALL_TESTS();
}
