// The list views of the program's result dialogs: full rows, grid lines,
// the program's dots in the first column, columns sized in dialog units.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>

#include "common/win_raii.h"

struct ListColumn {
    const char* title;
    int widthDlu;
    bool right = false;  // numbers align right
};

// Sets up list (a child of dialog) and returns the image list of the dots,
// which the list shares (LVS_SHAREIMAGELISTS): the caller keeps it alive.
UniqueImageList SetUpDotList(HWND dialog, HWND list, std::initializer_list<int> dotIcons, const ListColumn* columns,
                             size_t columnCount);
