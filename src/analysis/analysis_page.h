#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/win_raii.h"
#include "analysis/analysis_report.h"
#include "analysis/content_review.h"
#include "analysis/result_tree.h"
#include "wizard/page_base.h"

// The analysis of the chosen show and its results: a tree of every file the
// show names, with a coloured dot each, and the counts per colour.
class CTestPropPage02 : public CTestPropPageBasis {
public:
    CTestPropPage02();
    const char* ClassName() const override { return "CTestPropPage02"; }

    // Analyses the show into the shared results and the tree. False when
    // the show could not be analysed; the user has been told why.
    bool ScanShow(std::string path);

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int id, int code, HWND ctl) override;

private:
    // The counts of the analysis and its notes in the explanation.
    void ShowCounts();
    // Sets the explanation; a note below the counts gets room by taking
    // it from the tree's bottom, only while there is one.
    void SetExplanation(const std::string& text);

    HICON m_hIcons[6]{};  // shared resources: not destroyed by the page
    UniqueImageList m_imageList;
    HWND m_hTree = nullptr;
    RECT m_rcTree{}, m_rcText{};  // as the dialog places them, in page pixels
    HTREEITEM m_hShowItem = nullptr;
    HTREEITEM m_hSoundItem = nullptr;
    HTREEITEM m_hImageItem = nullptr;
    HTREEITEM m_hOtherItem = nullptr;
    // Every reference of the last analysis, for its report.
    std::unique_ptr<CAnalysisReport> m_pReport;
    // "Bestanden nakijken", and the files of the last analysis that exist,
    // each once, for it to read.
    std::unique_ptr<CContentReview> m_pReview;
    std::vector<std::string> m_presentFiles;
    // Every file the show names, there or not: a copy of a show in another
    // folder is recognised by them.
    std::vector<std::string> m_namedFiles;
    // The tree's lines of files that exist, marked when a check finds damage.
    std::vector<TreeFile> m_treeFiles;
    std::string m_csCopyNote;
};
