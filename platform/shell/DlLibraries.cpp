#include "platform/shell/DlLibraries.h"

#include <dlfcn.h>

namespace mj::platform::shell {

DlLibraries::DlLibraries(Shell& shell, std::string executableFolder)
    : shell_(shell), exeFolder_(std::move(executableFolder)) {
    if (!exeFolder_.empty() && exeFolder_.back() != '/') exeFolder_ += '/';
}

void* DlLibraries::Resolve(const std::string& library, const std::string& function) {
    if (auto it = functions_.find({library, function}); it != functions_.end()) return it->second;
    void* handle = nullptr;
    if (auto it = handles_.find(library); it != handles_.end()) {
        handle = it->second;
    } else {
        std::string places[2] = {exeFolder_, shell_.SpecialFolder(Folder::System).value_or("")};
        for (const std::string& folder : places) {
            if (folder.empty() || !shell_.Exists(folder + library)) continue;
            handle = dlopen((folder + library).c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle) break;
        }
        if (!handle) return nullptr;
        handles_[library] = handle;
    }
    void* f = dlsym(handle, function.c_str());
    if (f) functions_[{library, function}] = f;
    return f;
}

void DlLibraries::UnloadAll() {
    for (auto& [name, handle] : handles_) dlclose(handle);
    handles_.clear();
    functions_.clear();
}

std::string DlLibraries::FileOf(void* address) {
    Dl_info info{};
    return dladdr(address, &info) && info.dli_fname ? info.dli_fname : "";
}

}  // namespace mj::platform::shell
