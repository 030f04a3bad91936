#include "update/SavePath.h"

#include "app/AppState.h"
#include "app/Text.h"

namespace mj {
namespace {

std::string LastPiece(const std::vector<std::string>& pieces) {
    if (pieces.empty()) Sys().process.FatalError("数组成员引用下标必须大于等于1");
    return pieces.back();
}

}  // namespace

void DeriveSavePath() {
    AppState& a = App();
    const std::string savePath = a.SavePath.value_or("");
    const std::string last = LastPiece(SplitText(savePath, '/'));
    if (FindText(last, ".") != -1) return;  // the path names a file already
    const std::string fileName = LastPiece(SplitText(a.UpdateUrl.value_or(""), '/'));
    a.SavePath = savePath + fileName;
}

}  // namespace mj
