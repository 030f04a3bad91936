// The self-update end to end: the real program code, the real download library, a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <map>

#include "support/Harness.h"
#include "support/Marker.h"
#include "support/TestServer.h"
#include "ui/MainWindow.h"

namespace mj::test {
namespace {

using ::testing::ExitedWithCode;

std::string Text(Harness& h, const char* control) {
    return h.toolkit.GetText("MainWindow", control);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(20);
    }
    return true;
}

void Click(Harness& h, const char* control) {
    QTest::mouseClick(h.W("MainWindow", control), Qt::LeftButton);
}

// Notes every new text of the four labels, as a user watching the window would see them.
void WatchLabels(Harness& h, const Marker& m) {
    auto* timer = new QTimer(h.W("MainWindow"));
    auto last = std::make_shared<std::map<std::string, std::string>>();
    QObject::connect(timer, &QTimer::timeout, [&h, m, last] {
        for (const char* label : {"标签进度", "标签大小", "标签速度", "标签时间"}) {
            const std::string now = h.toolkit.GetText("MainWindow", label);
            if ((*last)[label] != now) m.Add(std::string(label) + "=" + now);
            (*last)[label] = now;
        }
    });
    timer->start(100);
}

bool AnyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

class Update : public ::testing::Test {
protected:
    void SetUp() override { dl::SetLibrarySettings({100, 0, 16}); }
};

TEST_F(Update, TheButtonFillsTheTaskAndEachSpeedGivesItsConnections) {
    Harness h;
    StartProgram(h.platform);
    const std::string save = *App().SavePath;
    ASSERT_TRUE(h.shell.WriteWhole(save, std::vector<unsigned char>{'o', 'l', 'd'}));
    App().UpdateUrl = "http://127.0.0.1:" + std::to_string(FreePort()) + "/ljxz/vorb_ins_all.exe";
    const int values[] = {200, 120, 60, 20, 6};
    for (int index : {1, 0, 2, 3, 4}) {
        qobject_cast<QComboBox*>(h.W("MainWindow", "组合框"))->setCurrentIndex(index);
        Click(h, "按钮1");
        const dl::TaskParam& p = App().UpdateTask->Param();
        EXPECT_EQ(p.Connections, values[index]);
        EXPECT_EQ(p.Flags, 4096);
        EXPECT_STREQ(p.Url, App().UpdateUrl->c_str());
        EXPECT_STREQ(p.LocalPath, save.c_str());
        EXPECT_EQ(p.SpeedLimit, 999999999);
        EXPECT_EQ(p.StopWait, 1000);
        EXPECT_EQ(p.ConnectTimeout, 5000);
        EXPECT_EQ(p.SendTimeout, 5001);
        EXPECT_EQ(p.ReceiveTimeout, 10000);
        EXPECT_EQ(p.BlockSize, 20480);
        EXPECT_EQ(p.UploadBlockSize, 1024);
        EXPECT_STREQ(p.UserName, "");
        EXPECT_STREQ(p.Password, "");
        EXPECT_STREQ(p.BinaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
        EXPECT_EQ(p.ProxyServer, nullptr);
        EXPECT_FALSE(h.W("MainWindow", "按钮1")->isEnabled());
        EXPECT_FALSE(h.shell.Exists(save)) << "the old file is deleted before the task starts";
        // The server is down: the program says so and offers the button again.
        ASSERT_TRUE(WaitFor([&] { return h.W("MainWindow", "按钮1")->isEnabled(); }, 5000));
        EXPECT_EQ(Text(h, "标签进度"), "下载失败");
        EXPECT_EQ(Text(h, "标签大小"), "无法连接下载服务器");
        EXPECT_EQ(Text(h, "按钮1"), "下载更新");
        EXPECT_EQ(h.toolkit.Position("MainWindow", "进度条1"), 0);
    }
    EXPECT_TRUE(h.Opened(0, 0).empty()) << "nothing is opened after a failure";
}

// A folder of the installer's name is none of ours: it stays, and the library saves beside it as "(1)".
TEST(UpdateDeathTest, AFolderAtTheSavePathIsLeftAlone) {
    const Marker m("update-folder");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            FaultServer server;
            StartProgram(h.platform);
            m.Add("save=" + *App().SavePath);
            QDir().mkpath(QString::fromStdString(*App().SavePath));
            h.toolkit.RegisterCleanup([m] {
                m.Add("written=" + App().WrittenFile.value_or(""));
                ReleaseApplication();
            });
            App().UpdateUrl = server.Url("/ok/1000");
            Click(h, "按钮1");
            h.toolkit.RunEventLoop();
            std::_Exit(3);
        },
        ExitedWithCode(0), "");
    const std::vector<std::string> lines = m.Lines();
    ASSERT_EQ(lines.size(), 2u);
    const std::string save = lines[0].substr(5);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(save)).isDir());
    EXPECT_EQ(lines[1], "written=" + save.substr(0, save.size() - 4) + "(1).exe");
}

TEST_F(Update, AMissingDesktopFolderIsNamedAsTheReason) {
    Harness h;
    FaultServer server;
    StartProgram(h.platform);
    QDir(QString::fromStdString(*h.shell.desktop.value())).removeRecursively();
    App().UpdateUrl = server.Url("/ok/1000");
    Click(h, "按钮1");
    ASSERT_TRUE(WaitFor([&] { return h.W("MainWindow", "按钮1")->isEnabled(); }, 5000));
    EXPECT_EQ(Text(h, "标签进度"), "下载失败");
    EXPECT_EQ(Text(h, "标签大小"), "桌面文件夹不存在");
}

TEST_F(Update, WithoutAutoRunTheButtonOffersTheNewVersion) {
    Harness h;
    FaultServer server;
    StartProgram(h.platform);
    App().AutoRunAfterDownload = 0;
    App().UpdateUrl = server.Url("/status/404");
    Click(h, "按钮1");
    ASSERT_TRUE(WaitFor([&] { return h.W("MainWindow", "按钮1")->isEnabled(); }, 5000));
    EXPECT_EQ(Text(h, "标签进度"), "下载失败");
    EXPECT_EQ(Text(h, "标签大小"), "无法连接下载服务器");

    App().UpdateUrl = server.Url("/ok/30000");
    Click(h, "按钮1");  // a second click after a failure downloads
    ASSERT_TRUE(WaitFor([&] { return Text(h, "按钮1") == "运行新版本"; }, 10000));
    EXPECT_TRUE(h.W("MainWindow", "按钮1")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return Text(h, "标签进度") == "已完成:100%"; }, 3000));
    EXPECT_EQ(Text(h, "标签大小"), "文件大小:0.03M");
    EXPECT_EQ(Text(h, "标签时间").rfind("总耗时:", 0), 0u);
    EXPECT_EQ(h.toolkit.Tray("MainWindow")->toolTip().toStdString(), "已完成:100%");
    EXPECT_FALSE(h.W("MainWindow")->findChild<QTimer*>("时钟")->isActive());
    EXPECT_FALSE(h.W("MainWindow")->findChild<QTimer*>("时钟1")->isActive());

    const std::int64_t tick = App().StartTick;
    Click(h, "按钮1");
    EXPECT_EQ(h.Opened(1), std::vector<std::string>{*App().SavePath});
    EXPECT_FALSE(h.W("MainWindow")->isVisible());
    EXPECT_EQ(App().StartTick, tick) << "no new task";
    EXPECT_EQ(App().Downloader->handle.load(), 0);
}

TEST(UpdateDeathTest, ACompleteDownloadOpensTheWrittenFileAndEnds) {
    const Marker m("update-ok");
    m.Reset();
    EXPECT_EXIT(
        {
            dl::SetLibrarySettings({100, 3, 16});
            Harness h;
            FaultServer server;
            StartProgram(h.platform);
            m.Add("record=" + h.recordFile);
            m.Add("save=" + *App().SavePath);
            h.toolkit.RegisterCleanup([m] {
                m.Add("cleanup");
                ReleaseApplication();
            });
            WatchLabels(h, m);
            qobject_cast<QComboBox*>(h.W("MainWindow", "组合框"))->setCurrentIndex(2);  // 60 connections
            App().UpdateUrl = server.Url("/ok/3000000");
            Click(h, "按钮1");
            h.toolkit.RunEventLoop();
            std::_Exit(3);
        },
        ExitedWithCode(0), "");
    const std::vector<std::string> lines = m.Lines();
    ASSERT_GE(lines.size(), 2u);
    const std::string record = lines[0].substr(7), save = lines[1].substr(5);
    EXPECT_TRUE(AnyStartsWith(lines, "标签大小=正在连接下载服务器..."));
    EXPECT_TRUE(AnyStartsWith(lines, "标签进度=已下载:"));
    EXPECT_TRUE(AnyStartsWith(lines, "标签大小=进度："));
    EXPECT_TRUE(AnyStartsWith(lines, "标签速度=速度："));
    EXPECT_TRUE(AnyStartsWith(lines, "标签时间=剩余时间:"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "cleanup"), 1);
    QFile saved(QString::fromStdString(save));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().toStdString() == Pattern(3000000));
    setenv("MJ_RECORD_FILE", record.c_str(), 1);
    Harness reader;
    reader.recordFile = record;
    EXPECT_EQ(reader.Opened(1), std::vector<std::string>{save});
}

TEST(UpdateDeathTest, StoppingThroughTheExitQuestionOpensNothing) {
    const Marker m("update-stop");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            FaultServer server;
            StartProgram(h.platform);
            m.Add("record=" + h.recordFile);
            h.toolkit.RegisterCleanup([m] {
                m.Add("cleanup");
                ReleaseApplication();
            });
            qobject_cast<QComboBox*>(h.W("MainWindow", "组合框"))->setCurrentIndex(4);  // 6 paced connections
            App().UpdateUrl = server.Url("/ok/5000000");
            Click(h, "按钮1");
            WaitFor([&] { return h.toolkit.Position("MainWindow", "进度条1") > 0; }, 10000);
            AnswerNextBox(QMessageBox::Ok);
            ui::ExitProgram();
            std::_Exit(3);
        },
        ExitedWithCode(0), "");
    const std::vector<std::string> lines = m.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "cleanup");
    QTest::qWait(500);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(lines[0].substr(7)))) << "nothing was opened";
}

}  // namespace
}  // namespace mj::test
