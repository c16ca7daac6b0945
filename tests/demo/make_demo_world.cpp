// Makes the demo world in the current Wine prefix:
//   zk_demo_world.exe WINGS_FOLDER [--lost]
#include <cstdio>
#include <cstring>

#include "support/demo_world.h"

int main(int argc, char** argv) {
    DemoWorldOptions options;
    if (argc > 1) options.wingsFolder = argv[1];
    options.withLostFile = argc > 2 && std::strcmp(argv[2], "--lost") == 0;
    if (!MakeDemoWorld(options)) {
        std::fprintf(stderr, "De demowereld kon niet volledig gemaakt worden.\n");
        return 1;
    }
    std::printf("Demoshow: %s\n", kDemoShow);
    return 0;
}
