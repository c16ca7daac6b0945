// The analysis page's result tree: the references of a show, each under the
// node of its kind, sorted by the tree control itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "analysis/show_scan.h"
#include "services/state.h"

// Inserts an item with its text and one image for both states.
HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const std::string& text, int image);

// The line of a file that exists, as it was filled: a check of the files'
// contents marks it, and a later one that finds it whole again unmarks it.
struct TreeFile {
    HTREEITEM item;
    std::string path;  // as the show names it
    std::string text;
    int image;
    bool marked = false;
};

// Collects the placed references during a scan; Fill then puts them into
// the tree, each among its siblings by the control's own sorted insertion.
class CResultTreeFiller : public CPlacementSink {
public:
    void OnPlaced(const PlacedReference& placed) override;

    // groups: the parent for each kind (another show goes beside the
    // show's node, at the top level). Returns the lines of files that exist.
    std::vector<TreeFile> Fill(HWND tree, const HTREEITEM (&groups)[4]);

private:
    struct Item {
        std::string text;
        int group;
        int image;
        std::string path;  // empty for a file that does not exist
    };
    std::vector<Item> m_items;
};

// Gives each line whose file the check found damaged the red mark and
// " (beschadigd)" after its name; a line no longer damaged gets back its
// own text and mark.
void ShowDamageInTree(HWND tree, std::vector<TreeFile>& files, const std::vector<CheckedFile>& checked);
