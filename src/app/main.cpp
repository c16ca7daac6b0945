#include <windows.h>

#include "app/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWingsTestApp app;
    app.InitInstance();
    return 0;
}
