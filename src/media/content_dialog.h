// "Bestanden nakijken": every file of the analysed show read to its end
// through the content check, with a list of what is damaged, earned a
// warning or could not be judged.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/content_review.h"
#include "common/win_raii.h"
#include "media/content_findings.h"
#include "wizard/dialog.h"

class CDialogCheckContents : public CModalDialog {
public:
    // files: the show's files that exist, each once.
    explicit CDialogCheckContents(std::vector<std::string> files);

    // What this check found, one per file read, in the order read.
    const std::vector<CheckedFile>& Findings() const { return m_findings; }
    bool Stopped() const { return m_bStopped; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;
    void OnWorkStart() override { CheckEveryFile(); }
    // Enter: no default button; the list must not go with a stray key.
    void OnOK() override {}

private:
    void CheckEveryFile();
    void AddRow(size_t index);

    UniqueImageList m_imageList;  // the list view shares it (LVS_SHAREIMAGELISTS)
    std::vector<std::string> m_files;
    std::vector<CheckedFile> m_findings;
    ContentCounts m_counts;
    bool m_bDone = false;
    bool m_bStopped = false;
};

// The analysis page's "Bestanden nakijken...": the dialog, its log entries,
// and its findings kept in the shared state.
std::unique_ptr<CContentReview> MakeContentReview();
