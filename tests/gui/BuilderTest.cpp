// The builder against the definitions: every window, every control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <set>

#include "support/Harness.h"
#include "ui/Definitions.h"

namespace mj::test {
namespace {

using platform::ControlKind;
using platform::WindowDef;

class EveryWindow : public ::testing::TestWithParam<const WindowDef*> {};

TEST_P(EveryWindow, DefinitionIsConsistent) {
    const WindowDef& def = *GetParam();
    std::set<std::string> names;
    for (const auto& c : def.controls) {
        EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
        if (c.kind == ControlKind::Timer) continue;
        int pw = def.outerWidth - 6, ph = def.outerHeight - 29;
        if (!c.parent.empty()) {
            const auto* parent = def.Find(c.parent);
            ASSERT_NE(parent, nullptr) << c.name;
            EXPECT_EQ(parent->kind, ControlKind::GroupBox) << c.name;
            pw = parent->place.width;
            ph = parent->place.height;
        }
        // Only the web browser box lies beyond its window on purpose.
        if (c.kind == ControlKind::WebBrowser) continue;
        EXPECT_GE(c.place.left, 0) << c.name;
        EXPECT_GE(c.place.top, 0) << c.name;
        EXPECT_LE(c.place.left + c.place.width, pw) << c.name;
        EXPECT_LE(c.place.top + c.place.height, ph) << c.name;
    }
}

TEST_P(EveryWindow, IsRealisedAsDefined) {
    Harness h;
    const WindowDef& def = *GetParam();
    ASSERT_TRUE(h.toolkit.OpenWindow(def, {}, false));
    QWidget* w = h.W(def.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle().toStdString(), def.caption);
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "fixed size";
    EXPECT_EQ(w->width(), def.outerWidth - 6);
    EXPECT_EQ(w->height(), def.outerHeight - 29);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(bool(w->windowFlags() & Qt::WindowMinimizeButtonHint), def.minimizeButton);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w->x(), (screen.width() - def.outerWidth) / 2);
    EXPECT_EQ(w->y(), (screen.height() - def.outerHeight) / 2);

    for (const auto& c : def.controls) {
        if (c.kind == ControlKind::Timer) {
            auto* t = w->findChild<QTimer*>(QString::fromStdString(c.name));
            ASSERT_NE(t, nullptr) << c.name;
            EXPECT_FALSE(t->isActive()) << c.name;
            continue;
        }
        QWidget* cw = h.W(def.name, c.name);
        ASSERT_NE(cw, nullptr) << c.name;
        EXPECT_EQ(cw->geometry(), QRect(c.place.left, c.place.top, c.place.width, c.place.height)) << c.name;
        EXPECT_EQ(cw->parentWidget(), c.parent.empty() ? w : h.W(def.name, c.parent)) << c.name;
        EXPECT_EQ(cw->isVisibleTo(w), c.shown) << c.name;
        EXPECT_EQ(bool(cw->focusPolicy() & Qt::TabFocus), c.tabStop) << c.name;
        EXPECT_TRUE(cw->isEnabled()) << c.name;
        if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::ProgressBar && c.kind != ControlKind::Hyperlink) {
            EXPECT_EQ(h.toolkit.GetText(def.name, c.name), c.text) << c.name;
        }
        if (c.textColour && (c.kind == ControlKind::Label || c.kind == ControlKind::TransparentLabel)) {
            EXPECT_EQ(cw->palette().color(QPalette::WindowText),
                      QColor(c.textColour->r, c.textColour->g, c.textColour->b))
                << c.name;
        }
    }

    // Stacking: among siblings, the one listed first lies above (later in its parent's child list).
    for (std::size_t i = 0; i < def.controls.size(); ++i)
        for (std::size_t j = i + 1; j < def.controls.size(); ++j) {
            QWidget* a = h.W(def.name, def.controls[i].name);
            QWidget* b = h.W(def.name, def.controls[j].name);
            if (!a || !b || a->parentWidget() != b->parentWidget()) continue;
            const auto& kids = a->parentWidget()->children();
            EXPECT_GT(kids.indexOf(a), kids.indexOf(b)) << def.controls[i].name << " over " << def.controls[j].name;
        }

    // Tab: from the last listed keyboard stop to the first, then around.
    std::vector<QWidget*> stops;
    for (auto it = def.controls.rbegin(); it != def.controls.rend(); ++it)
        if (it->tabStop) stops.push_back(h.W(def.name, it->name));
    if (!stops.empty()) {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        stops.front()->setFocus(Qt::TabFocusReason);
        for (std::size_t k = 1; k <= stops.size(); ++k) {
            QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
            QWidget* want = stops[k % stops.size()];
            QWidget* got = w->focusWidget();
            // A combo box's inner view may own the focus; compare the control it belongs to.
            while (got && got != want && got->parentWidget() != w && got->parentWidget()) {
                bool isControl = false;
                for (const auto& c : def.controls)
                    if (got == h.W(def.name, c.name)) isControl = true;
                if (isControl) break;
                got = got->parentWidget();
            }
            EXPECT_EQ(got, want) << "stop " << k;
        }
    }
    h.toolkit.CloseWindow(def.name);
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::ValuesIn(ui::AllWindows().begin(), ui::AllWindows().end()),
                         [](const auto& info) { return info.param->name; });

TEST(Builder, EscSendsTheCloseRequest) {
    Harness h;
    int asked = 0;
    platform::WindowHandlers handlers;
    handlers.closeRequest = [&] {
        ++asked;
        return std::optional<bool>(false);
    };
    ASSERT_TRUE(h.toolkit.OpenWindow(ui::MainWindow(), handlers, false));
    QTest::keyClick(h.W("MainWindow", "编辑框1"), Qt::Key_Escape);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(h.toolkit.IsOpen("MainWindow"));
    // A window without a handler closes on Esc.
    ASSERT_TRUE(h.toolkit.OpenWindow(ui::VideoSearchWindow(), {}, false));
    QTest::keyClick(h.W("VideoSearchWindow", "编辑框1"), Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_FALSE(h.toolkit.IsOpen("VideoSearchWindow"));
    // Enter moves no focus.
    QWidget* edit = h.W("MainWindow", "编辑框1");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(h.W("MainWindow")->focusWidget(), edit);
}

TEST(Builder, MainWindowControlsOfTheirOwnKind) {
    Harness h;
    ASSERT_TRUE(h.toolkit.OpenWindow(ui::MainWindow(), {}, false));
    auto* combo = qobject_cast<QComboBox*>(h.W("MainWindow", "组合框"));
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    const std::pair<const char*, int> items[] = {
        {"超速更新", 200}, {"高速更新", 120}, {"快速更新", 60}, {"普通更新", 20}, {"低速更新", 6}};
    ASSERT_EQ(combo->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(combo->itemText(i).toStdString(), items[i].first);
        EXPECT_EQ(h.toolkit.ItemValue("MainWindow", "组合框", i), items[i].second);
    }
    EXPECT_EQ(h.toolkit.CurrentIndex("MainWindow", "组合框"), 1);
    EXPECT_EQ(combo->currentText().toStdString(), "高速更新");
    EXPECT_EQ(h.toolkit.ItemValue("MainWindow", "组合框", 5), std::nullopt);

    auto* bar = qobject_cast<QProgressBar*>(h.W("MainWindow", "进度条1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(bar->isTextVisible());

    // Right-aligned and centred labels; the tray menu entry shows no menu bar.
    auto* size = qobject_cast<QLabel*>(h.W("MainWindow", "标签大小"));
    EXPECT_TRUE(size->alignment() & Qt::AlignRight);
    EXPECT_TRUE(qobject_cast<QLabel*>(h.W("MainWindow", "标签速度"))->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(h.W("MainWindow")->findChild<QMenuBar*>(), nullptr);
    QMenu* menu = h.toolkit.Menu("MainWindow", "托盘菜单");
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    for (QAction* a : menu->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"显示", "关于", "退出"}));

    h.toolkit.SetTimerPeriod("MainWindow", "时钟", 50);
    auto* timer = h.W("MainWindow")->findChild<QTimer*>("时钟");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 50);
    h.toolkit.SetTimerPeriod("MainWindow", "时钟", 0);
    EXPECT_FALSE(timer->isActive());
}

}  // namespace
}  // namespace mj::test
