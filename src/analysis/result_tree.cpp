#include "analysis/result_tree.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "common/text.h"
#include "files/file_kind.h"
#include "files/file_reference.h"

HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const std::string& text,
                         int image) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

namespace {

// Byte strings that compare (as unsigned bytes) as the texts compare by the
// system's rules, letter case ignored.
std::string SortKey(const std::string& text) {
    std::string key(text.size() * 4 + 16, '\0');
    for (;;) {
        const int n = ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(),
                                     static_cast<int>(text.size()), &key[0], static_cast<int>(key.size()));
        if (n > 0) {
            key.resize(static_cast<size_t>(n));
            return key;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || key.size() > text.size() * 64 + 1024)
            return text;  // no key: the control still sorts, only slower
        key.resize(key.size() * 2);
    }
}

}  // namespace

void CResultTreeFiller::OnPlaced(const PlacedReference& placed) {
    const int group = placed.group >= kKindShow && placed.group <= kKindOther ? placed.group : kKindOther;
    m_items.push_back({std::string(placed.text), group, placed.image,
                       placed.record.m_nExists >= 0 ? placed.record.m_csPath : std::string()});
}

std::vector<TreeFile> CResultTreeFiller::Fill(HWND tree, const HTREEITEM (&groups)[4]) {
    // The control looks for an item's place from the first sibling on: items
    // handed over in descending order find it at once, where show order
    // would cost a walk past thousands of siblings per item. Sort keys order
    // as the system's comparison does, for one call per item, not per pair.
    std::vector<std::pair<std::string, const Item*>> keyed;
    keyed.reserve(m_items.size());
    for (const Item& item : m_items) keyed.emplace_back(SortKey(item.text), &item);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    // One layout at the end instead of one per item.
    std::vector<TreeFile> files;
    ::SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    for (const auto& k : keyed) {
        const Item& item = *k.second;
        const HTREEITEM inserted = InsertTreeItem(tree, groups[item.group], TVI_SORT, item.text, item.image);
        if (inserted && !item.path.empty()) files.push_back({inserted, item.path, item.text, item.image});
    }
    ::SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    m_items.clear();
    return files;
}

void ShowDamageInTree(HWND tree, std::vector<TreeFile>& files, const std::vector<CheckedFile>& checked) {
    std::unordered_set<std::string> damaged;
    for (const CheckedFile& f : checked)
        if (f.content == FileContent::Damaged) damaged.insert(UpperCasedAscii(f.path));
    for (TreeFile& file : files) {
        const bool mark = damaged.count(UpperCasedAscii(file.path)) > 0;
        if (mark == file.marked) continue;
        file.marked = mark;
        std::string text = mark ? file.text + " (beschadigd)" : file.text;
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = file.item;
        item.pszText = &text[0];
        item.iImage = item.iSelectedImage = mark ? kImageRed : file.image;
        ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

