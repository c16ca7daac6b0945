// "Alle shows controleren": every show a search found, analysed one after
// the other, read only, into a sortable list and one report.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/win_raii.h"
#include "report/report_html.h"
#include "wizard/dialog.h"

// Backs up every show of the list with green light, from a layer that
// knows the back-up: one line per report, in their order.
using BackupAllFn = std::function<std::vector<std::string>(HWND owner, const std::vector<ShowReport>& reports)>;

class CCheckAllDialog : public CModalDialog {
public:
    explicit CCheckAllDialog(std::vector<std::string> shows, BackupAllFn backupAll = nullptr);

    // IDOK once a row was double-clicked: that show is Chosen(). IDCANCEL
    // when the dialog was closed.
    const std::string& Chosen() const { return m_chosen; }
    const std::vector<ShowReport>& Reports() const { return m_reports; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;
    void OnWorkStart() override { CheckEveryShow(); }
    // Enter: on a selected row as a double-click; otherwise nothing, so the
    // list is never thrown away by a stray key.
    void OnOK() override;

private:
    void CheckEveryShow();
    void AddRow(size_t index);
    void SortBy(int column);
    void OnDoubleClick(int item);
    void SaveReport();
    void BackUpAll();
    // The reports in the list's present order.
    std::vector<ShowReport> ReportsInListOrder() const;
    static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM self);

    UniqueImageList m_imageList;  // the list view shares it (LVS_SHAREIMAGELISTS)
    std::vector<std::string> m_shows;
    std::vector<ShowReport> m_reports;
    std::string m_chosen;
    BackupAllFn m_backupAll;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
    bool m_bDone = false;
};
