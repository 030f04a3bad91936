// Every search button, typed into on real widgets, opens its address through the real shell hand-off.
#include <gtest/gtest.h>

#include "search/Search.h"
#include "support/Harness.h"

namespace mj::test {
namespace {

const char* OpenerOf(const std::string& window) {
    if (window == "VideoSearchWindow") return "按钮11";
    if (window == "MovieDownloadSearchWindow") return "按钮4";
    return "按钮5";
}

TEST(SearchWindows, EveryTargetOpensItsAddressForEachInput) {
    Harness h;
    StartProgram(h.platform);
    const QString inputs[] = {"阿凡达", "Tom & Jerry #2 100%+", "", "  blank  "};
    std::vector<std::string> want;
    for (const QString& input : inputs) {
        for (const char* window : {"VideoSearchWindow", "MovieDownloadSearchWindow", "NetDiskSearchWindow"}) {
            WhenOpen(h.toolkit, window, [&, window] {
                TypeText(h.W(window, "编辑框1"), input);
                for (const auto& t : search::Targets()) {
                    if (std::string(t.window) != window) continue;
                    QTest::mouseClick(h.W(window, t.button), Qt::LeftButton);
                    const std::string filter = t.filterBox ? h.toolkit.GetText(window, t.filterBox) : "";
                    want.push_back(search::ComposeAddress(t, input.toStdString(), filter));
                }
                EXPECT_EQ(h.toolkit.GetText(window, "编辑框1"), input.toStdString()) << "the box keeps its text";
                h.toolkit.CloseWindow(window);
            });
            QTest::mouseClick(h.W("MainWindow", OpenerOf(window)), Qt::LeftButton);
        }
        TypeText(h.W("MainWindow", "编辑框1"), input);
        QTest::mouseClick(h.W("MainWindow", "按钮3"), Qt::LeftButton);
        want.push_back(search::ComposeAddress(search::Targets().back(), input.toStdString()));
        qobject_cast<QLineEdit*>(h.W("MainWindow", "编辑框1"))->clear();
    }
    ASSERT_EQ(want.size(), 4u * 21);
    // The recorder runs detached, so lines may arrive out of click order; compare as multisets.
    std::vector<std::string> got = h.Opened(want.size());
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

TEST(SearchWindows, HiddenFilterBoxesAreReachedByTabAndChangeTheSuffix) {
    Harness h;
    StartProgram(h.platform);
    WhenOpen(h.toolkit, "NetDiskSearchWindow", [&] {
        QWidget* box = h.W("NetDiskSearchWindow", "编辑框1");
        QWidget* filter = h.W("NetDiskSearchWindow", "编辑框5");
        EXPECT_TRUE(filter->isVisible());
        // Covered: the input box lies above it and holds its whole rectangle.
        const auto& kids = box->parentWidget()->children();
        EXPECT_GT(kids.indexOf(box), kids.indexOf(filter));
        EXPECT_TRUE(box->geometry().contains(filter->geometry()));
        QWidget* win = h.W("NetDiskSearchWindow");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(win->focusWidget(), h.W("NetDiskSearchWindow", "按钮1"));
        QTest::keyClick(win->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(win->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(win->focusWidget(), filter);
        qobject_cast<QLineEdit*>(filter)->clear();
        TypeText(filter, " site:disk.example");
        TypeText(box, "x");
        QTest::mouseClick(h.W("NetDiskSearchWindow", "按钮4"), Qt::LeftButton);
        h.toolkit.CloseWindow("NetDiskSearchWindow");
    });
    QTest::mouseClick(h.W("MainWindow", "按钮5"), Qt::LeftButton);
    EXPECT_EQ(h.Opened(1), std::vector<std::string>{"http://www.google.com.hk/search?q=x%20site%3Adisk.example"});
}

}  // namespace
}  // namespace mj::test
