// MainWindow's behaviour: modal windows, closing to the tray, the tray icon and menu, the exit procedure.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSystemTrayIcon>

#include "support/Harness.h"
#include "support/Marker.h"
#include "ui/MainWindow.h"

namespace mj::test {
namespace {

using ::testing::ExitedWithCode;

void Click(Harness& h, const std::string& window, const std::string& control) {
    auto* b = qobject_cast<QAbstractButton*>(h.W(window, control));
    ASSERT_NE(b, nullptr) << control;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Notes, in order, when the tray icon goes away and when the clean-up runs.
void NoteEnd(Harness& h, const Marker& m) {
    QObject::connect(h.toolkit.Tray("MainWindow"), &QObject::destroyed, [m] { m.Add("tray removed"); });
    h.toolkit.RegisterCleanup([m] {
        m.Add("cleanup");
        ReleaseApplication();
    });
}

TEST(MainWindow, ModalSearchWindowDisablesMainAndOpensEmptyEachTime) {
    Harness h;
    StartProgram(h.platform);
    bool checked = false;
    WhenOpen(h.toolkit, "VideoSearchWindow", [&] {
        EXPECT_FALSE(h.W("MainWindow")->isEnabled());
        EXPECT_TRUE(h.W("VideoSearchWindow")->isEnabled());
        TypeText(h.W("VideoSearchWindow", "编辑框1"), "阿凡达");
        EXPECT_EQ(h.toolkit.GetText("VideoSearchWindow", "编辑框1"), "阿凡达");
        // Opening it again only brings it forward.
        Click(h, "MainWindow", "按钮11");
        checked = true;
        QTest::keyClick(h.W("VideoSearchWindow", "编辑框1"), Qt::Key_Escape);
    });
    Click(h, "MainWindow", "按钮11");  // returns when the modal window has closed
    EXPECT_TRUE(checked);
    EXPECT_TRUE(h.W("MainWindow")->isEnabled());
    EXPECT_FALSE(h.toolkit.IsOpen("VideoSearchWindow"));

    std::string second = "unset";
    WhenOpen(h.toolkit, "VideoSearchWindow", [&] {
        second = h.toolkit.GetText("VideoSearchWindow", "编辑框1");
        h.toolkit.CloseWindow("VideoSearchWindow");
    });
    Click(h, "MainWindow", "按钮11");
    EXPECT_EQ(second, "");
}

TEST(MainWindow, EveryOpeningButtonOpensItsWindow) {
    Harness h;
    StartProgram(h.platform);
    const std::pair<const char*, const char*> buttons[] = {
        {"按钮11", "VideoSearchWindow"}, {"按钮4", "MovieDownloadSearchWindow"}, {"按钮5", "NetDiskSearchWindow"}};
    for (const auto& [button, window] : buttons) {
        bool opened = false;
        WhenOpen(h.toolkit, window, [&, window = window] {
            opened = true;
            QTest::keyClick(h.W(window), Qt::Key_Escape);
        });
        Click(h, "MainWindow", button);
        EXPECT_TRUE(opened) << window;
        EXPECT_TRUE(h.W("MainWindow")->isEnabled());
    }
}

TEST(MainWindow, ClosingHidesToTheTrayAndTheTrayBringsItBack) {
    Harness h;
    StartProgram(h.platform);
    QWidget* main = h.W("MainWindow");
    for (auto close : {std::function<void()>([&] { main->close(); }),
                       std::function<void()>([&] { QTest::keyClick(h.W("MainWindow", "编辑框1"), Qt::Key_Escape); })}) {
        close();
        EXPECT_FALSE(main->isVisible());
        EXPECT_TRUE(h.toolkit.IsOpen("MainWindow"));
        EXPECT_TRUE(h.toolkit.Tray("MainWindow")->isVisible());
        ui::OnTrayEvent(platform::kTrayDoubleClick);  // a double click adds nothing to its two releases
        EXPECT_FALSE(main->isVisible());
        ui::OnTrayEvent(platform::kTrayLeftRelease);
        EXPECT_TRUE(main->isVisible());
    }
    main->showMinimized();
    h.toolkit.Menu("MainWindow", "托盘菜单")->actions().at(0)->trigger();  // 显示
    EXPECT_FALSE(main->isMinimized());
    EXPECT_TRUE(main->isVisible());
}

TEST(MainWindow, RightClickPopsUpTheTrayMenuLeftOfThePointer) {
    Harness h;
    StartProgram(h.platform);
    QCursor::setPos(700, 500);
    ui::OnTrayEvent(platform::kTrayContext);
    QMenu* menu = h.toolkit.Menu("MainWindow", "托盘菜单");
    ASSERT_TRUE(menu->isVisible());
    QStringList captions;
    for (QAction* a : menu->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"显示", "关于", "退出"}));
    const QPoint at = QCursor::pos();
    EXPECT_EQ(menu->geometry().right(), at.x() - 5);
    EXPECT_EQ(menu->geometry().top(), at.y() - 5);
    menu->close();
}

TEST(MainWindow, ExitAskedWhileDownloadingKeepsRunningOnCancelOrEsc) {
    Harness h;
    StartProgram(h.platform);
    h.toolkit.SetPosition("MainWindow", "进度条1", 370);
    for (bool escape : {false, true}) {
        BoxSeen seen;
        AnswerNextBox(QMessageBox::Cancel, &seen, escape);
        ui::ExitProgram();
        EXPECT_EQ(seen.title.toStdString(), "提示:");
        EXPECT_EQ(seen.text.toStdString(), "任务下载中...是否强行结束当前下载?");
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.buttons, 2);
        EXPECT_FALSE(h.W("MainWindow")->isVisible());
        ASSERT_NE(h.toolkit.Tray("MainWindow"), nullptr);
        EXPECT_TRUE(h.toolkit.Tray("MainWindow")->isVisible());
        h.toolkit.RestoreNormal("MainWindow");
    }
}

class ExitDeathTest : public ::testing::TestWithParam<int> {};

// At 0 and 1000 no download runs: no question. At 370 the question is answered OK.
TEST_P(ExitDeathTest, EndsWithStatusZeroAfterRemovingTheTrayIconAndOneCleanup) {
    const int position = GetParam();
    const Marker m("exit" + std::to_string(position));
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            StartProgram(h.platform);
            NoteEnd(h, m);
            h.toolkit.SetPosition("MainWindow", "进度条1", position);
            if (position == 370)
                AnswerNextBox(QMessageBox::Ok);
            else
                QObject::connect(qApp, &QApplication::focusChanged, [m] {
                    if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) m.Add("asked");
                });
            Click(h, "MainWindow", "按钮2");
            std::_Exit(3);
        },
        ExitedWithCode(0), "");
    EXPECT_EQ(m.Lines(), (std::vector<std::string>{"tray removed", "cleanup"}));
}

INSTANTIATE_TEST_SUITE_P(Positions, ExitDeathTest, ::testing::Values(0, 1000, 370));

TEST(MainWindowDeathTest, TrayMenuExitAndSessionEndEndTheProgram) {
    for (const char* how : {"menu", "session"}) {
        const Marker m(std::string("end-") + how);
        m.Reset();
        EXPECT_EXIT(
            {
                Harness h;
                StartProgram(h.platform);
                NoteEnd(h, m);
                h.toolkit.SetPosition("MainWindow", "进度条1", 370);  // a session end never asks
                if (std::string(how) == "menu") {
                    h.toolkit.SetPosition("MainWindow", "进度条1", 0);
                    h.toolkit.Menu("MainWindow", "托盘菜单")->actions().at(2)->trigger();
                } else {
                    h.toolkit.SessionEnding();
                }
                std::_Exit(3);
            },
            ExitedWithCode(0), "")
            << how;
        EXPECT_EQ(m.Lines(), (std::vector<std::string>{"tray removed", "cleanup"})) << how;
    }
}

TEST(MainWindow, FixedAddressesAndTheHyperlinkOpenThroughTheShell) {
    Harness h;
    StartProgram(h.platform);
    Click(h, "MainWindow", "按钮7");
    Click(h, "MainWindow", "按钮6");
    QTest::mouseClick(h.W("MainWindow", "超级链接框1"), Qt::LeftButton);
    std::vector<std::string> opened = h.Opened(3);
    std::sort(opened.begin(), opened.end());  // each hand-off runs on its own; they may finish in any order
    EXPECT_EQ(opened, (std::vector<std::string>{"http://bbs.mijutong.example/thread-32202-1-1.html",
                                                "http://www.mijutong.example", "http://www.qvod.com/"}));
}

}  // namespace
}  // namespace mj::test
