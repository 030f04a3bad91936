// Builds a ".skn" file from a skin's readable source: mj_skinc source.txt out.skn [password]
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/skinengine/SkinFormat.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s source.txt out.skn [password]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const auto bytes = mj::skin::Compile(source, argc > 3 ? argv[3] : "", 0, error);
    if (bytes.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream(argv[2], std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return 0;
}
