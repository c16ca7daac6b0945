// The dialog that searches the drives for the files the show misses and
// copies the chosen ones into the show's subfolders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "repair/missing_match.h"
#include "wizard/dialog.h"

class CDialogFindMissing : public CModalDialog {
public:
    // redPaths: the paths of the show's red references.
    explicit CDialogFindMissing(std::vector<std::string> redPaths);

    // What the copies of this dialog achieved (zero before any).
    const MissingCopyCounts& Counts() const { return m_counts; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnWorkStart() override {
        if (!m_bSearched) RunSearch();
    }
    // Enter: the dialog has no default button, and its results must not
    // go with a stray key.
    void OnOK() override {}

private:
    void RunSearch();
    void LogFindings(const std::vector<std::string>& tooLong) const;
    void FillTree();
    // The user may have ticked or unticked a box: the choices follow, one
    // per missing file at most, and the boxes show them again.
    void OnCheckChanged();
    void ShowChoices();
    void OnKopieren();
    void CopyChosen();

    HWND Tree() const;

    std::vector<std::string> m_redPaths;
    std::unique_ptr<MissingFiles> m_files;
    std::vector<HTREEITEM> m_groupItems;
    MissingCopyCounts m_counts;
    bool m_bSearched = false;
};

// Opens the dialog over owner for the show's red references, logging its
// start and end. Returns what its copies achieved.
MissingCopyCounts FindMissingFiles(HWND owner);
