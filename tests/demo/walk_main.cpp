// Walks the wizard through the demo world by itself and saves a screenshot
// of every step:
//   zk_walk.exe ZEKERPAD_EXE SCREENSHOT_FOLDER
#include <cstdio>

#include "support/walk.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "gebruik: zk_walk.exe ZEKERPAD_EXE SCHERMAFDRUKMAP\n");
        return 2;
    }
    WalkOptions options;
    options.exePath = argv[1];
    options.screenshotDir = argv[2];
    const WalkResult result = WalkTypicalRun(options);
    for (const std::string& step : result.steps) std::printf("- %s\n", step.c_str());
    if (!result.completed) {
        std::fprintf(stderr, "De wandeling is niet voltooid: %s\n", result.failure.c_str());
        return 1;
    }
    std::printf("Slotpagina: %s\n", result.closingText.substr(0, result.closingText.find('\n')).c_str());
    return 0;
}
