#include "wizard/list_view.h"

#include <commctrl.h>

UniqueImageList SetUpDotList(HWND dialog, HWND list, std::initializer_list<int> dotIcons, const ListColumn* columns,
                             size_t columnCount) {
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    // The small-icon size follows the screen's DPI; the dots are drawn at
    // every size it takes.
    const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    UniqueImageList images(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, static_cast<int>(dotIcons.size()), 0));
    if (images) {
        for (int icon : dotIcons) {
            HICON dot = static_cast<HICON>(
                ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon), IMAGE_ICON, cx, cy, LR_SHARED));
            ::ImageList_AddIcon(images.get(), dot);
        }
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
    }
    for (size_t i = 0; i < columnCount; ++i) {
        RECT width{0, 0, columns[i].widthDlu, 0};
        ::MapDialogRect(dialog, &width);
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = columns[i].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = width.right;
        col.pszText = const_cast<char*>(columns[i].title);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    return images;
}
