#pragma once

#include "wizard/page_base.h"

#include <commdlg.h>

#include <string>

// The system's open-file dialog; tests replace it to check what the page
// asks for and to answer it.
using OpenFileDialogFn = BOOL(WINAPI*)(OPENFILENAMEA*);
extern OpenFileDialogFn g_pfnGetOpenFileName;

// The choice of the show: typed, browsed for, or found by a search.
class CTestPropPage01 : public CTestPropPageBasis {
public:
    CTestPropPage01();
    const char* ClassName() const override { return "CTestPropPage01"; }

    // Radio group 1014/1015: 0 = choose a show yourself, 1 = search.
    int m_nSelectionMode = 0;
    // Radio group 1016/1017: 0 = found shows as a tree, 1 = as a list.
    int m_nResultView = 0;

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnWizardNext() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;

private:
    // Towards the controls (false) or from them (true).
    void DoDataExchange(bool fromControls);

    void OnChangeShowEdit();
    void UpdateNextButton() const;
    void OnBrowse();
    void OnChooseYourself();
    void OnChooseSearch();
    void OnStartSearch();
    void ShowResultView(bool asList);
    void OnSelchangeList();
    void OnDblclkList();
    void OnSelchangeTree();
    void OnDblclkTree();
    // Checks every found show at once, read only.
    void OnCheckAll();
    void ShowCheckAllButton();
    // Takes a found show as the show and analyses it at once.
    void AnalyseFoundShow(const std::string& path);

    std::string SelectedListLine() const;
    std::string SelectedTreePath() const;
    void RepaintNow() const;
};
