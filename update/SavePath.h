#pragma once

namespace mj {

// Completes SavePath with the installer's file name when it names a folder.
void DeriveSavePath();

}  // namespace mj
