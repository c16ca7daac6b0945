// The dialog in which the user makes a back-up of the show's folder on
// another disk, such as a USB stick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "wizard/dialog.h"

class CDialogBackup : public CModalDialog {
public:
    // showFolder ends in a backslash ("C:\Shows\Demo\").
    explicit CDialogBackup(std::string showFolder);

    // What the last run did, for whoever opened the dialog.
    const BackupOutcome& Outcome() const { return m_outcome; }
    bool Ran() const { return m_bRan; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnStart();
    void OnBrowse();
    // Says where the back-up goes and what it would copy now.
    void UpdatePlan();
    void SetProgress(int64_t bytes);

    std::string m_csShowFolder;
    std::vector<BackupEntry> m_source;  // the show's tree as the dialog opened
    bool m_bSourceListed = false;
    int m_nShift = 0;           // bytes >> shift fit the progress bar's range
    BackupOutcome m_outcome;
    bool m_bRan = false;
};
