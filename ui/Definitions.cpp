#include "ui/Definitions.h"

#include "resources/Blocks.h"
#include "search/Hosts.h"
#include "ui/DefBuilders.h"

namespace mj::ui {

using namespace def;
using platform::WindowDef;

namespace {

const std::string kHttp = "http://";

WindowDef MakeMainWindow() {
    WindowDef w;
    w.name = "MainWindow";
    w.caption = "觅剧通软件V1.6";
    w.outerWidth = 374;
    w.outerHeight = 335;
    w.minimizeButton = true;
    const std::string portal = kHttp + hosts::kPortal;

    ControlDef edit = Edit("编辑框", {8, 192, 352, 16}, "版本信息:");
    edit.multiLine = true;
    edit.readOnly = true;
    edit.buttonFaceBackground = true;

    ControlDef combo = Control(ControlKind::ComboBox, "组合框", {}, {80, 275, 80, 20}, true);
    combo.items = {{"超速更新", 200}, {"高速更新", 120}, {"快速更新", 60}, {"普通更新", 20}, {"低速更新", 6}};
    combo.currentIndex = 1;

    ControlDef bar = Control(ControlKind::ProgressBar, "进度条1", {}, {8, 208, 352, 16}, false);
    bar.rangeMin = 0;
    bar.rangeMax = 1000;

    w.controls = {
        Transparent("透明标签1", {}, {16, 72, 208, 24}, "官方引擎同样强大,网页版请进入--→", {255, 0, 0}),
        Button("按钮11", {}, {96, 40, 80, 24}, "在线视频搜索"),
        Button("按钮8", "分组框1", {240, 32, 104, 24}, "操作解图"),
        WebLink("超级链接框1", {}, {208, 72, 128, 24}, portal, portal),
        Button("按钮10", {}, {272, 40, 88, 24}, "在线网络电视"),
        Button("按钮5", {}, {184, 40, 80, 24}, "网盘资源搜索"),
        Button("按钮4", {}, {8, 40, 80, 24}, "电影下载搜索"),
        Button("按钮9", {}, {232, 272, 64, 24}, "关于"),
        Button("按钮7", "分组框1", {240, 56, 104, 24}, "软件误报解决方案"),
        Label("标签3", "分组框1", {16, 56, 224, 24}, "软件如有误报请点击按钮进入看解决方案,或设为信任软件运行.",
              Rgb{192, 96, 0}, Align::Left, true),
        Label("标签2", "分组框1", {16, 16, 320, 24},
              "  如果你的电脑未安装快播,搜索出来的电影或电视剧可能会有部分显示不出播放.", Rgb{0, 128, 0}, Align::Left,
              true),
        Button("按钮6", {}, {160, 272, 72, 24}, "快播下载"),
        Group("分组框1", {8, 96, 352, 88}, "提示:"),
        Label("标签1", {}, {8, 8, 64, 24}, "输入内容"),
        Button("按钮3", {}, {272, 8, 88, 24}, "在线电影搜索"),
        Edit("编辑框1", {72, 8, 192, 24}),
        Timer("时钟"),
        Label("标签进度", {}, {16, 232, 96, 20}, "等待下载...", Rgb{0, 0, 255}),
        Button("按钮2", {}, {296, 272, 64, 24}, "退出"),
        edit,
        combo,
        Label("标签速度", {}, {248, 232, 112, 20}, "", Rgb{144, 0, 255}, Align::Centre),
        Label("标签时间", {}, {264, 256, 96, 16}, "", Rgb{0, 136, 255}),
        Label("标签大小", {}, {112, 232, 136, 20}, "下载进度", Rgb{0, 0, 255}, Align::Right),
        Timer("时钟1"),
        bar,
        Button("按钮1", {}, {8, 272, 72, 24}, "下载更新"),
    };
    w.menu = {{"托盘菜单", 0, true}, {"显示", 1}, {"关于", 1}, {"退出", 1}};
    return w;
}

// The search windows' explanatory texts keep their CR LF pairs: they are the definitions' own bytes.
WindowDef MakeVideoSearchWindow() {
    WindowDef w;
    w.name = "VideoSearchWindow";
    w.caption = "在线视频资源搜索功能引擎";
    w.outerWidth = 432;
    w.outerHeight = 250;
    ControlDef heading = Transparent("透明标签3", {}, {16, 104, 104, 32}, "操作说明:", {255, 0, 0});
    heading.font = kHeadingFont;
    w.controls = {
        heading,
        Transparent("透明标签2", "分组框1", {24, 16, 368, 56},
                    "在方框内输入电影名,点相应的搜索引擎按钮将会搜索到指定的内容.\r\n\r\n"
                    "比如:你输入阿凡达-百度视频引擎按钮搜索到将会是百度视频网站的资源.",
                    {0, 128, 0}, true),
        Group("分组框1", {8, 136, 408, 72}),
        Button("按钮11", {}, {216, 104, 96, 24}, "有道视频搜索"),
        Button("按钮10", {}, {320, 104, 96, 24}, "必应视频搜索"),
        Button("按钮9", {}, {320, 72, 96, 24}, "搜狗视频搜索"),
        Button("按钮8", {}, {216, 72, 96, 24}, "搜搜视频搜索"),
        Button("按钮7", {}, {112, 72, 96, 24}, "谷歌视频搜索"),
        Button("按钮6", {}, {8, 72, 96, 24}, "百度视频搜索"),
        Button("按钮5", {}, {216, 40, 96, 24}, "新浪视频搜索"),
        Button("按钮4", {}, {112, 40, 96, 24}, "6房间视频搜索"),
        Button("按钮3", {}, {8, 40, 96, 24}, "酷6视频搜索"),
        Button("按钮2", {}, {320, 40, 96, 24}, "土豆视频搜索"),
        Transparent("透明标签1", {}, {8, 8, 48, 24}, "输入内容:", {0, 0, 0}),
        Button("按钮1", {}, {320, 8, 96, 24}, "优酷视频搜索"),
        Edit("编辑框1", {64, 8, 248, 24}),
    };
    return w;
}

WindowDef MakeMovieDownloadSearchWindow() {
    WindowDef w;
    w.name = "MovieDownloadSearchWindow";
    w.caption = "电影下载资源搜索功能引擎";
    w.outerWidth = 386;
    w.outerHeight = 172;
    w.controls = {
        Transparent("透明标签2", "分组框1", {16, 16, 192, 64},
                    "  在方框内输入电影名,点相应的搜索引擎按钮将会搜索到指定的内容.\r\n\r\n"
                    "比如:你输入阿凡达-点狗狗引擎搜索到将会是狗狗网站的资源.",
                    {0, 128, 0}, true),
        Group("分组框1", {8, 40, 224, 88}, "操作说明:", Rgb{255, 0, 0}),
        Button("按钮4", {}, {240, 104, 128, 24}, "狗狗电影搜索"),
        Button("按钮3", {}, {240, 72, 128, 24}, "时光电影下载搜索"),
        Button("按钮2", {}, {240, 40, 128, 24}, "豆瓣电影下载搜索"),
        Transparent("透明标签1", {}, {8, 8, 56, 24}, "输入内容:", {0, 0, 0}),
        Button("按钮1", {}, {240, 8, 128, 24}, "verycd电影下载搜索"),
        Edit("编辑框1", {64, 8, 176, 24}),
    };
    return w;
}

WindowDef MakeNetDiskSearchWindow() {
    WindowDef w;
    w.name = "NetDiskSearchWindow";
    w.caption = std::string("网盘资源搜索功能引擎  交流论坛 ") + hosts::kForum;
    w.outerWidth = 380;
    w.outerHeight = 232;
    ControlDef heading = Transparent("透明标签1", {}, {16, 72, 112, 24}, "操作说明:", {255, 0, 0});
    heading.font = kHeadingFont;
    w.controls = {
        Transparent("透明标签2", "分组框1", {16, 16, 312, 64},
                    "   在方框内输入内容,点相应的搜索引擎按钮将会搜索到指定的内容.\r\n\r\n"
                    "比如:你输入资源名-点击115网盘搜索引擎搜索到将会是115网盘站的资源.",
                    {0, 128, 0}, true),
        heading,
        Group("分组框1", {16, 104, 344, 88}),
        Button("按钮7", {}, {256, 72, 112, 24}, "800网盘资源搜索"),
        Button("按钮6", {}, {16, 40, 112, 24}, "迅载网盘资源搜索"),
        Button("按钮5", {}, {256, 40, 112, 24}, "115网盘资源搜索"),
        Button("按钮4", {}, {136, 40, 112, 24}, "rayfile网盘搜索"),
        Button("按钮1", {}, {256, 8, 112, 24}, "千脑网盘资源搜索"),
        Label("标签1", {}, {8, 8, 56, 24}, "输入内容"),
        Edit("编辑框1", {64, 8, 184, 24}),
        Edit("编辑框5", {64, 8, 112, 16}, std::string(" site:") + hosts::kRayfile),
        Edit("编辑框7", {136, 8, 112, 16}, std::string(" site:") + hosts::kDisk115),
    };
    return w;
}

WindowDef MakeAboutWindow() {
    WindowDef w;
    w.name = "AboutWindow";
    w.caption = "关于";
    w.outerWidth = 380;
    w.outerHeight = 214;
    const std::string forum = kHttp + hosts::kForum, portal = kHttp + hosts::kPortal;
    ControlDef mail = Control(ControlKind::Hyperlink, "超级链接框1", "分组框1", {48, 96, 96, 16}, false);
    mail.webLink = false;
    mail.emailAddress = hosts::kContactMail;
    w.controls = {
        WebLink("超级链接框3", "分组框1", {16, 136, 176, 16}, "交流论坛:" + forum, forum),
        WebLink("超级链接框2", "分组框1", {16, 112, 192, 24}, "主站搜索引擎:" + portal, portal),
        Label("标签5", "分组框1", {256, 96, 48, 16}, "小觅制作"),
        Label("标签4", "分组框1", {160, 96, 80, 16}, "QQ:10086520"),
        Label("标签3", "分组框1", {16, 96, 32, 16}, "邮箱:"),
        mail,
        Label("标签2", "分组框1", {16, 56, 232, 24}, "您如有任何建议请反馈给我们,将不断完善."),
        Label("标签1", "分组框1", {8, 16, 344, 32},
              "\u3000 软件结合了电影，电视剧，音乐视频搜索，以线网络电视功能，超级便民软件，永久免费．", Rgb{0, 128, 0},
              Align::Left, true),
        Group("分组框1", {8, 0, 360, 168}),
    };
    return w;
}

WindowDef MakeGuideWindow() {
    WindowDef w;
    w.name = "GuideWindow";
    w.caption = std::string("软件操作图解 官方搜索  ") + kHttp + hosts::kPortal;
    w.outerWidth = 826;
    w.outerHeight = 616;
    ControlDef picture = Control(ControlKind::PictureBox, "图片框1", {}, {0, 0, 816, 584}, false);
    picture.picture = blocks::GuidePicture();
    w.controls = {picture};
    return w;
}

WindowDef MakeWebTvWindow() {
    WindowDef w;
    w.name = "WebTvWindow";
    w.caption = std::string("更多绿色资源尽在－－－青禾资源 ") + hosts::kForum;
    w.outerWidth = 971;
    w.outerHeight = 551;
    w.minimizeButton = true;
    ControlDef browser = Control(ControlKind::WebBrowser, "超文本浏览框1", {}, {0, -232, 992, 744}, true);
    browser.startAddress = kHttp + hosts::kForum + "/faq.php?action=faq&id=101";
    browser.textSize = 2;
    browser.offline = false;
    browser.silent = true;
    w.controls = {browser};
    return w;
}

}  // namespace

const WindowDef& MainWindow() {
    static const WindowDef w = MakeMainWindow();
    return w;
}
const WindowDef& VideoSearchWindow() {
    static const WindowDef w = MakeVideoSearchWindow();
    return w;
}
const WindowDef& MovieDownloadSearchWindow() {
    static const WindowDef w = MakeMovieDownloadSearchWindow();
    return w;
}
const WindowDef& NetDiskSearchWindow() {
    static const WindowDef w = MakeNetDiskSearchWindow();
    return w;
}

const WindowDef& AboutWindow() {
    static const WindowDef w = MakeAboutWindow();
    return w;
}
const WindowDef& GuideWindow() {
    static const WindowDef w = MakeGuideWindow();
    return w;
}
const WindowDef& WebTvWindow() {
    static const WindowDef w = MakeWebTvWindow();
    return w;
}

std::span<const WindowDef* const> AllWindows() {
    static const WindowDef* const all[] = {&MainWindow(),          &VideoSearchWindow(), &MovieDownloadSearchWindow(),
                                           &NetDiskSearchWindow(), &AboutWindow(),       &GuideWindow(),
                                           &WebTvWindow()};
    return all;
}

}  // namespace mj::ui
