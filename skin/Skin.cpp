#include "skin/Skin.h"

#include <cstdio>

#include "app/AppState.h"
#include "resources/Blocks.h"

namespace mj {
namespace {

constexpr const char* kSkinNames[] = {"/midnight.skn", "/amber.skn", "/meadow.skn", "/slate.skn",
                                      "/pixel.skn",    "/aqua.skn",  "/ivory.skn",  "/classic.skn"};

int SkinAttachEx(const std::string& path, const std::string& password) {
    using Fn = int (*)(const char*, const char*);
    auto fn = reinterpret_cast<Fn>(Sys().libs.Resolve(kSkinEngineFile, "SkinAttachEx"));
    if (!fn) {
        char message[256];
        std::snprintf(message, sizeof message, "无法找到指定DLL库文件“%s”中的输出命令“%s”", kSkinEngineFile,
                      "SkinAttachEx");
        Sys().process.FatalError(message);
    }
    return fn(path.c_str(), password.c_str());
}

}  // namespace

void DeploySkinEngine() {
    auto& shell = Sys().shell;
    const std::string path = shell.SpecialFolder(platform::Folder::System).value_or("") + kSkinEngineFile;
    if (shell.Exists(path)) return;  // whatever is there is used as it is
    shell.WriteWhole(path, blocks::SkinEngineLibrary());
}

void ApplySkin(int number, const std::string& path, const std::optional<std::string>& password) {
    if (number == 0) {
        if (path.empty()) {
            Sys().ui.MessageBox("※内置类型=0皮肤路径不能为空※", "提示信息", platform::kMbStopOk);
            return;
        }
        SkinAttachEx(path, password.value_or(""));
        return;
    }
    if (number < 1 || number > 8) return;
    auto& shell = Sys().shell;
    const std::string file = shell.SpecialFolder(platform::Folder::Temporary).value_or("") + kSkinNames[number - 1];
    shell.WriteWhole(file, blocks::BuiltInSkin(number));
    // A built-in skin with a password: the written file is attached with it.
    SkinAttachEx(file, password.value_or(""));
}

}  // namespace mj
