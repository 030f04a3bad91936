// Start-up, the created event, the save path and the ways the process ends.
#include <gtest/gtest.h>

#include <QSystemTrayIcon>
#include <thread>

#include "resources/Blocks.h"
#include "support/Harness.h"
#include "support/Marker.h"
#include "update/SavePath.h"

namespace mj::test {
namespace {

using ::testing::ExitedWithCode;

// Registers a clean-up that notes whether it ran on the GUI thread, then runs the real one.
void NoteCleanup(Harness& h, const Marker& m) {
    const auto gui = std::this_thread::get_id();
    h.toolkit.RegisterCleanup([m, gui] {
        m.Add(std::this_thread::get_id() == gui ? "cleanup on gui thread" : "cleanup off gui thread");
        ReleaseApplication();
    });
}

TEST(Startup, CreatedEventCompletesBeforeTheLoop) {
    Harness h;
    StartProgram(h.platform);
    AppState& a = App();
    EXPECT_EQ(a.UpdateUrl, "http://down.mijutong.example/ljxz/vorb_ins_all.exe");
    EXPECT_EQ(a.SavePath, *h.shell.desktop.value() + "vorb_ins_all.exe");
    EXPECT_EQ(a.AutoRunAfterDownload, 1);
    EXPECT_EQ(h.toolkit.GetText("MainWindow", "编辑框"), "版本V1.6 新版本下载完毕后软件自动保存在桌面");
    ASSERT_NE(h.toolkit.Tray("MainWindow"), nullptr);
    EXPECT_EQ(h.toolkit.Tray("MainWindow")->toolTip().toStdString(), "觅剧搜软件V1.6");
    EXPECT_FALSE(h.toolkit.Tray("MainWindow")->icon().isNull());
    EXPECT_FALSE(h.W("MainWindow")->windowIcon().isNull());
    EXPECT_TRUE(h.W("MainWindow")->isVisible());
}

TEST(Startup, ProgramIconIsAValidIconFile) {
    const auto icon = blocks::ProgramIcon();
    ASSERT_EQ(icon.size(), 3262u);
    const unsigned char head[] = {0, 0, 1, 0, 1, 0, 32, 32};
    EXPECT_TRUE(std::equal(std::begin(head), std::end(head), icon.begin()));
    const QImage img = platform::qt::DecodeIcon(icon);
    EXPECT_EQ(img.size(), QSize(32, 32));
    // A corrupt or cut icon decodes to nothing rather than reading past its end.
    EXPECT_TRUE(platform::qt::DecodeIcon(icon.first(100)).isNull());
}

TEST(DeriveSavePath, CompletesAFolderAndKeepsAFile) {
    Harness h;
    struct Case {
        const char* desktop;
        const char* want;
    } cases[] = {
        {"/home/user/桌面/", "/home/user/桌面/vorb_ins_all.exe"},
        {"/home/用户/Desktop/", "/home/用户/Desktop/vorb_ins_all.exe"},
        {"/", "/vorb_ins_all.exe"},
        {"/media/my.files/", "/media/my.files/"},
        {"/a.b/Desktop/", "/a.b/Desktop/vorb_ins_all.exe"},
    };
    for (const auto& c : cases) {
        App().UpdateUrl = "http://down.mijutong.example/ljxz/vorb_ins_all.exe";
        App().SavePath = c.desktop;
        DeriveSavePath();
        EXPECT_EQ(App().SavePath, c.want) << c.desktop;
    }
}

TEST(DeriveSavePathDeathTest, NoDesktopIsAFatalStopWithoutCleanup) {
    const Marker m("nodesktop");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            h.shell.desktop = std::optional<std::string>();
            AnswerNextBox(QMessageBox::Ok);
            h.toolkit.RegisterCleanup([m] { m.Add("cleanup"); });
            InitApplication();
            StartProgram(h.platform);
        },
        ExitedWithCode(255), "数组成员引用下标必须大于等于1");
    EXPECT_TRUE(m.Lines().empty());
}

TEST(EndSequenceDeathTest, EndFromAnotherThreadRunsCleanupOnceOnTheGuiThread) {
    const Marker m("otherthread");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            StartProgram(h.platform);
            NoteCleanup(h, m);
            std::thread([] { Sys().process.EndProgram(0); }).detach();
            std::thread([] { Sys().process.EndProgram(0); }).detach();  // a second request starts nothing
            h.toolkit.RunEventLoop();
            std::_Exit(3);
        },
        ExitedWithCode(0), "");
    EXPECT_EQ(m.Lines(), std::vector<std::string>{"cleanup on gui thread"});
}

TEST(EndSequenceDeathTest, FatalErrorExits255WithoutCleanup) {
    const Marker m("fatal");
    m.Reset();
    BoxSeen seen;
    EXPECT_EXIT(
        {
            Harness h;
            h.toolkit.RegisterCleanup([m] { m.Add("cleanup"); });
            AnswerNextBox(QMessageBox::Ok, &seen);
            QTimer::singleShot(0, [&] { h.toolkit.FatalError("载入启动窗口失败"); });
            h.toolkit.RunEventLoop();
        },
        ExitedWithCode(255), "错误: 载入启动窗口失败");
    EXPECT_TRUE(m.Lines().empty());
}

TEST(EndSequenceDeathTest, LastWindowGoneEndsTheLoopWithCleanup) {
    const Marker m("lastwindow");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            StartProgram(h.platform);
            NoteCleanup(h, m);
            QTimer::singleShot(0, [&] { delete h.W("MainWindow"); });
            const int code = h.toolkit.RunEventLoop();
            h.toolkit.EndProgram(code);
        },
        ExitedWithCode(0), "");
    EXPECT_EQ(m.Lines(), std::vector<std::string>{"cleanup on gui thread"});
}

TEST(EndSequenceDeathTest, MemoryExhaustionNamesTheRequest) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators refuse the request before the program sees it";
#else
    EXPECT_EXIT(
        {
            Harness h;
            AnswerNextBox(QMessageBox::Ok);
            QTimer::singleShot(0, [] {
                volatile char* p = new char[std::size_t(1) << 46];
                p[0] = 1;
            });
            h.toolkit.RunEventLoop();
        },
        ExitedWithCode(255), "分配 70368744177664 字节内存失败!");
#endif
}

}  // namespace
}  // namespace mj::test
