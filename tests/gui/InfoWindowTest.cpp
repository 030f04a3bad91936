// The about, guide and web-TV windows.
#include <gtest/gtest.h>

#include <QMenu>

#include "platform/qt/Hyperlink.h"
#include "platform/qt/Jpeg.h"
#include "platform/qt/PictureBox.h"
#include "platform/qt/WebViewModule.h"
#include "resources/Blocks.h"
#include "support/Harness.h"
#include "support/TestServer.h"
#include "ui/Definitions.h"

namespace mj::test {
namespace {

void Click(Harness& h, const char* button) {
    QTest::mouseClick(h.W("MainWindow", button), Qt::LeftButton);
}

TEST(InfoWindows, EscClosesEachAndMainTakesInputAgain) {
    Harness h;
    StartProgram(h.platform);
    const std::pair<const char*, const char*> openers[] = {
        {"按钮9", "AboutWindow"}, {"按钮8", "GuideWindow"}, {"按钮10", "WebTvWindow"}};
    for (const auto& [button, window] : openers) {
        bool seen = false;
        WhenOpen(h.toolkit, window, [&, window = window] {
            seen = true;
            EXPECT_FALSE(h.W("MainWindow")->isEnabled()) << window;
            QTest::keyClick(h.W(window), Qt::Key_Escape);
        });
        Click(h, button);
        EXPECT_TRUE(seen) << window;
        EXPECT_FALSE(h.toolkit.IsOpen(window)) << window;
        EXPECT_TRUE(h.W("MainWindow")->isEnabled()) << window;
    }
}

TEST(InfoWindows, AboutLinksOpenTheirTargetsAndTheTrayItemOnlyActivates) {
    Harness h;
    StartProgram(h.platform);
    WhenOpen(h.toolkit, "AboutWindow", [&] {
        auto* mail = static_cast<platform::qt::Hyperlink*>(h.W("AboutWindow", "超级链接框1"));
        EXPECT_EQ(mail->Caption().toStdString(), "kf@mijutong.example") << "an empty caption shows the address";
        EXPECT_EQ(h.toolkit.GetText("AboutWindow", "标签1").substr(0, 4), "\u3000 ");
        for (const char* link : {"超级链接框2", "超级链接框3", "超级链接框1"})
            QTest::mouseClick(h.W("AboutWindow", link), Qt::LeftButton);
        // "关于" from the tray while the window is open brings it forward and builds nothing new.
        QWidget* before = h.W("AboutWindow");
        h.toolkit.Menu("MainWindow", "托盘菜单")->actions().at(1)->trigger();
        EXPECT_EQ(h.W("AboutWindow"), before);
        h.toolkit.CloseWindow("AboutWindow");
    });
    Click(h, "按钮9");
    std::vector<std::string> opened = h.Opened(3);
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{"http://bbs.mijutong.example", "http://www.mijutong.example",
                                                "mailto:kf@mijutong.example"}));
}

TEST(InfoWindows, GuidePictureIsDrawnUnscaledAndClipped) {
    Harness h;
    const QImage picture = platform::qt::DecodeJpeg(blocks::GuidePicture());
    ASSERT_EQ(picture.size(), QSize(822, 587));
    ASSERT_TRUE(h.toolkit.OpenWindow(ui::GuideWindow(), {}, false));
    auto* box = dynamic_cast<platform::qt::PictureBox*>(h.W("GuideWindow", "图片框1"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->size(), QSize(816, 584));
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(shown.size(), QSize(816, 584)) << "the last 6 columns and 3 rows fall outside";
    const QImage want = picture.convertToFormat(QImage::Format_RGB888);
    for (const QPoint p : {QPoint(0, 0), QPoint(815, 0), QPoint(0, 583), QPoint(815, 583), QPoint(400, 300)})
        EXPECT_EQ(shown.pixel(p), want.pixel(p)) << p.x() << "," << p.y();
}

TEST(InfoWindows, ABrokenPictureLeavesTheBoxEmpty) {
    const auto good = blocks::GuidePicture();
    std::vector<unsigned char> garbled(good.begin(), good.end());
    for (std::size_t i = 600; i < 2000; ++i) garbled[i] ^= 0xA5;
    const std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    const std::vector<unsigned char> noise(5000, 0x42);
    const std::vector<unsigned char>* broken[] = {&cut, &garbled, &noise};
    for (const auto* bytes : broken) EXPECT_TRUE(platform::qt::DecodeJpeg(*bytes).isNull());
    EXPECT_TRUE(platform::qt::DecodeJpeg({}).isNull());

    Harness h;
    platform::WindowDef def = ui::GuideWindow();
    def.controls[0].picture = cut;
    ASSERT_TRUE(h.toolkit.OpenWindow(def, {}, false));
    auto* box = dynamic_cast<platform::qt::PictureBox*>(h.W("GuideWindow", "图片框1"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->Picture().isNull());
}

TEST(InfoWindows, WebTvBoxAppliesItsSettingsAndNavigatesOncePerOpening) {
    Harness h;
    for (int opening = 0; opening < 2; ++opening) {
        ASSERT_TRUE(h.toolkit.OpenWindow(ui::WebTvWindow(), {}, false));
        QWidget* box = h.W("WebTvWindow", "超文本浏览框1");
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(platform::qt::WebViewModuleLoaded());
        EXPECT_STREQ(box->metaObject()->className(), "QWebEngineView");
        EXPECT_EQ(box->geometry(), QRect(0, -232, 992, 744));
        EXPECT_TRUE(box->property("mjSilent").toBool());
        EXPECT_FALSE(box->property("mjOffline").toBool());
        EXPECT_EQ(box->property("url").toUrl().toString().toStdString(),
                  "http://bbs.mijutong.example/faq.php?action=faq&id=101");
        h.toolkit.CloseWindow("WebTvWindow");
        QTest::qWait(50);
    }
}

TEST(InfoWindows, TheBrowserBoxLoadsARealPageWithoutDialogs) {
    FaultServer server;
    const std::string address = server.Url("/page");
    QWidget parent;
    parent.resize(971 - 6, 551 - 29);
    const MjWebViewSettings s{address.c_str(), 2, 0, 1};
    QWidget* view = platform::qt::CreateWebView(s, &parent);
    ASSERT_STREQ(view->metaObject()->className(), "QWebEngineView");
    parent.show();
    // The page's script appends to its title after its alert: the title tells the page loaded and ran.
    QElapsedTimer t;
    t.start();
    while (view->property("title").toString() != "mijutong test page ran" && t.elapsed() < 30000) QTest::qWait(50);
    EXPECT_EQ(view->property("title").toString().toStdString(), "mijutong test page ran");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "silent: the script's alert shows nothing";
    EXPECT_EQ(server.RequestsFor("/page"), 1) << "one navigation";
}

}  // namespace
}  // namespace mj::test
