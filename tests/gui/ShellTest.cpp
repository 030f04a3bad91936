// The shell stand-in: the HTML handler's command line, and the hyperlink's fallback to it.
#include <gtest/gtest.h>

#include <QFile>

#include "support/Harness.h"

namespace mj::test {
namespace {

TEST(Shell, ExecLinesAreCutAtTheFieldCodeAndSplitByTheQuotingRules) {
    using platform::shell::SplitExecLine;
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitExecLine("firefox %u"), (V{"firefox"}));
    EXPECT_EQ(SplitExecLine("/usr/bin/chromium --new-window %U --x"), (V{"/usr/bin/chromium", "--new-window"}));
    EXPECT_EQ(SplitExecLine("\"/opt/My Browser/run\" -a \"%f\""), (V{"/opt/My Browser/run", "-a"}));
    EXPECT_EQ(SplitExecLine("sh -c \"echo \\\"hi\\\"\" %F"), (V{"sh", "-c", "echo \"hi\""}));
    EXPECT_EQ(SplitExecLine("browser --pct=100%% %u"), (V{"browser", "--pct=100%"}));
    EXPECT_EQ(SplitExecLine("plain"), (V{"plain"}));
    EXPECT_EQ(SplitExecLine(""), V{});
}

// xdg-open fails (its browser exits with an error): the hyperlink runs the text/html handler instead.
TEST(Shell, AHyperlinkFallsBackToTheHtmlHandlerWhenXdgOpenFails) {
    Harness h;
    const QString root = h.dir.path();
    QDir().mkpath(root + "/config");
    QDir().mkpath(root + "/data/applications");
    QFile mime(root + "/config/mimeapps.list");
    ASSERT_TRUE(mime.open(QIODevice::WriteOnly));
    mime.write("[Default Applications]\ntext/html=mj-recorder.desktop\n");
    mime.close();
    QFile entry(root + "/data/applications/mj-recorder.desktop");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    // Unquoted: xdg-mime only accepts a handler whose first word it finds as a command.
    entry.write(QByteArray("[Desktop Entry]\nType=Application\nName=recorder\nExec=") + MJ_RECORDER +
                " --fallback %u\n");
    entry.close();
    const std::string config = (root + "/config").toStdString(), data = (root + "/data").toStdString();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("BROWSER", "false", 1);
    StartProgram(h.platform);
    QTest::mouseClick(h.W("MainWindow", "超级链接框1"), Qt::LeftButton);
    EXPECT_EQ(h.Opened(2, 15000), (std::vector<std::string>{"--fallback", "http://www.mijutong.example"}));
    setenv("BROWSER", MJ_RECORDER, 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace mj::test
