// The analysis page's result tree: the references of a show, each under the
// node of its kind, sorted by the tree control itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "analysis/show_scan.h"

// Inserts an item with its text and one image for both states.
HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const std::string& text, int image);

// Collects the placed references during a scan; Fill then puts them into
// the tree, each among its siblings by the control's own sorted insertion.
class CResultTreeFiller : public CPlacementSink {
public:
    void OnPlaced(const PlacedReference& placed) override;

    // groups: the parent for each kind (another show goes beside the
    // show's node, at the top level).
    void Fill(HWND tree, const HTREEITEM (&groups)[4]);

private:
    struct Item {
        std::string text;
        int group;
        int image;
    };
    std::vector<Item> m_items;
};
