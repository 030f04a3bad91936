// Deploying the skin engine, attaching skins, and refusing bad skin files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QLabel>
#include <QPalette>
#include <fstream>

#include <set>
#include "platform/skinengine/SkinFormat.h"
#include "resources/Blocks.h"
#include "skin/Skin.h"
#include "support/Harness.h"
#include "support/Marker.h"
#include "ui/Definitions.h"

namespace mj::test {
namespace {

using ::testing::ExitedWithCode;

std::string Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
std::string Bytes(blocks::Block b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

QColor WindowColour() {
    return QApplication::palette().color(QPalette::Window);
}

// Each test starts from the desktop's own look.
class Skins : public ::testing::Test {
protected:
    void SetUp() override {
        qApp->setStyleSheet({});
        QApplication::setPalette(QPalette());
    }
    void TearDown() override { SetUp(); }
};

TEST_F(Skins, AFirstStartWritesTheLibraryAndALaterOneLeavesItAlone) {
    Harness h;
    const std::string lib = *h.shell.system + kSkinEngineFile;
    DeploySkinEngine();
    ASSERT_TRUE(Read(lib) == Bytes(blocks::SkinEngineLibrary()));
    // Another file of that name, whatever it holds, is used as it is.
    std::string changed = Bytes(blocks::SkinEngineLibrary()) + std::string(16, '\0');
    std::ofstream(lib, std::ios::binary) << changed;
    DeploySkinEngine();
    EXPECT_TRUE(Read(lib) == changed);
    ApplySkin(3);
    void* f = h.libs.Resolve(kSkinEngineFile, "SkinAttachEx");
    EXPECT_EQ(platform::shell::DlLibraries::FileOf(f), lib) << "the file that was there is the one loaded";
}

TEST_F(Skins, ACopyInTheExecutablesFolderIsPreferred) {
    Harness h;
    const std::string exeDir = h.dir.path().toStdString() + "/bin/";
    QDir().mkpath(QString::fromStdString(exeDir));
    h.shell.WriteWhole(exeDir + kSkinEngineFile, blocks::SkinEngineLibrary());
    DeploySkinEngine();
    platform::shell::DlLibraries libs(h.shell, exeDir);
    void* f = libs.Resolve(kSkinEngineFile, "SkinAttachEx");
    EXPECT_EQ(platform::shell::DlLibraries::FileOf(f), exeDir + kSkinEngineFile);
}

TEST_F(Skins, BuiltInSkinThreeIsWrittenAndAttached) {
    Harness h;
    DeploySkinEngine();
    ApplySkin(3);
    const std::string file = *h.shell.temporary + "/meadow.skn";  // two separators in a row, as designed
    EXPECT_TRUE(Read(file) == Bytes(blocks::BuiltInSkin(3)));
    EXPECT_EQ(Read(file).substr(0, 4), ".SKN");
    EXPECT_EQ(WindowColour(), QColor("#eaf4e4"));
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    // Written again at every start, over what an earlier start left.
    std::ofstream(file) << "junk";
    ApplySkin(3);
    EXPECT_TRUE(Read(file) == Bytes(blocks::BuiltInSkin(3)));
}

TEST_F(Skins, NumberZeroNeedsAPathAndOtherNumbersDoNothing) {
    Harness h;
    DeploySkinEngine();
    BoxSeen seen;
    AnswerNextBox(QMessageBox::Ok, &seen);
    ApplySkin(0, "");
    EXPECT_EQ(seen.text.toStdString(), "※内置类型=0皮肤路径不能为空※");
    EXPECT_EQ(seen.title.toStdString(), "提示信息");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_TRUE(qApp->styleSheet().isEmpty()) << "nothing attached";

    const QColor before = WindowColour();
    for (int n : {9, -1, 100}) ApplySkin(n);
    EXPECT_EQ(WindowColour(), before);
    EXPECT_TRUE(QDir(QString::fromStdString(*h.shell.temporary)).isEmpty()) << "nothing written";

    const std::string mine = h.dir.path().toStdString() + "/mine.skn";
    h.shell.WriteWhole(mine, blocks::BuiltInSkin(1));
    ApplySkin(0, mine);
    EXPECT_EQ(WindowColour(), QColor("#1e2230"));
    EXPECT_TRUE(QDir(QString::fromStdString(*h.shell.temporary)).isEmpty()) << "number 0 writes no file";
}

TEST_F(Skins, EverySkinIsItsOwnLookAndDefinitionColoursStay) {
    Harness h;
    DeploySkinEngine();
    StartProgram(h.platform);
    std::set<QRgb> looks;
    for (int n = 1; n <= 8; ++n) {
        ApplySkin(n);
        looks.insert(WindowColour().rgb());
        // The definition's own colours stay; a label without one follows the skin.
        EXPECT_EQ(h.W("MainWindow", "标签进度")->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << n;
        EXPECT_EQ(h.W("MainWindow", "标签1")->palette().color(QPalette::WindowText),
                  QApplication::palette().color(QPalette::WindowText))
            << n;
    }
    EXPECT_EQ(looks.size(), 8u);
    ApplySkin(1);
    EXPECT_LT(WindowColour().lightness(), 80) << "midnight is the dark one";
    // A window opened later wears the skin too.
    ASSERT_TRUE(h.toolkit.OpenWindow(ui::VideoSearchWindow(), {}, false));
    EXPECT_EQ(h.W("VideoSearchWindow")->palette().color(QPalette::Window), QColor("#1e2230"));
}

TEST_F(Skins, BadSkinFilesAreRefusedAndChangeNothing) {
    Harness h;
    DeploySkinEngine();
    using Fn = int (*)(const char*, const char*);
    auto attach = reinterpret_cast<Fn>(h.libs.Resolve(kSkinEngineFile, "SkinAttachEx"));
    ASSERT_NE(attach, nullptr);
    const std::string good = Bytes(blocks::BuiltInSkin(4));
    std::string newer = good, garbled = good, badValue = good;
    newer[4] = 9;
    garbled[30] ^= 0x55;
    std::string error;
    const auto locked = skin::Compile(good.substr(skin::kHeaderSize), "secret", 0, error);
    const auto wrongColour = [&] {
        std::string src = good.substr(skin::kHeaderSize);
        src.replace(src.find("window=#"), 15, "window=#zzzzzz");
        return skin::Compile(src, "", 0, error);
    }();
    EXPECT_TRUE(wrongColour.empty()) << "the compiler refuses a bad colour: " << error;
    badValue = good;
    badValue.replace(badValue.find("window=#") + 8, 6, "zzzzzz");
    const std::uint32_t crc = skin::Crc32({reinterpret_cast<const unsigned char*>(badValue.data()) + skin::kHeaderSize,
                                           badValue.size() - skin::kHeaderSize});
    for (int i = 0; i < 4; ++i) badValue[12 + i] = static_cast<char>(crc >> (8 * i));
    struct Case {
        std::string name, bytes;
        const char* password;
        int want;
    } cases[] = {
        {"missing", "", "", skin::kUnreadable},
        {"png", "\x89PNG\r\n\x1a\n", "", skin::kNotASkin},
        {"empty", "", "", skin::kNotASkin},
        {"header only", good.substr(0, 10), "", skin::kTruncated},
        {"cut", good.substr(0, good.size() - 5), "", skin::kTruncated},
        {"garbled", garbled, "", skin::kTruncated},
        {"newer", newer, "", skin::kNewerVersion},
        {"locked", std::string(locked.begin(), locked.end()), "wrong", skin::kWrongPassword},
        {"bad value", badValue, "", skin::kMalformed},
    };
    const QColor before = WindowColour();
    for (const auto& c : cases) {
        const std::string path = h.dir.path().toStdString() + "/" + c.name + ".skn";
        if (c.name != "missing") std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(attach(path.c_str(), c.password), c.want) << c.name;
        EXPECT_EQ(WindowColour(), before) << c.name;
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << c.name;
    }
    const std::string lockedPath = h.dir.path().toStdString() + "/locked.skn";
    EXPECT_EQ(attach(lockedPath.c_str(), "secret"), skin::kAttached) << "the right password opens it";
    EXPECT_EQ(attach(nullptr, nullptr), skin::kUnreadable);
}

TEST(SkinDeathTest, AnUnloadableLibraryIsAFatalStopWithoutCleanup) {
    const Marker m("badlib");
    m.Reset();
    EXPECT_EXIT(
        {
            Harness h;
            h.shell.WriteWhole(*h.shell.system + kSkinEngineFile, std::vector<unsigned char>{'n', 'o', 'p', 'e'});
            h.toolkit.RegisterCleanup([m] { m.Add("cleanup"); });
            AnswerNextBox(QMessageBox::Ok);
            StartProgram(h.platform);
            std::_Exit(3);
        },
        ExitedWithCode(255), "无法找到指定DLL库文件“libskinengine.so”中的输出命令“SkinAttachEx”");
    EXPECT_TRUE(m.Lines().empty());
}

}  // namespace
}  // namespace mj::test
