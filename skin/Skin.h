// The skin engine's deployment and the attaching of a skin.
#pragma once

#include <optional>
#include <string>

namespace mj {

inline constexpr const char* kSkinEngineFile = "libskinengine.so";

// Writes the engine library into the system folder unless a file of its name is there already.
void DeploySkinEngine();

// 1 to 8: a built-in skin, written to the temporary folder and attached; 0: the skin at `path`.
void ApplySkin(int number = 0, const std::string& path = {}, const std::optional<std::string>& password = {});

}  // namespace mj
