#include "app/AppState.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    return mj::platform::RunPlatform(argc, argv, &mj::ProgramEntry);
}
