// The dialog in which the user makes a back-up of the show's folder on
// another disk, such as a USB stick, and checks a back-up made earlier.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_plan.h"
#include "backup/check_target.h"
#include "wizard/dialog.h"
#include "backup/backup_outcome.h"

// Opens the dialog for a check only, of what the user chose on the first
// page: no show, no back-up to make.
struct CheckChosen {
    std::string chosen;  // a folder or a show file, UTF-8
};

class CDialogBackup : public CModalDialog {
public:
    // showFolder ends in a backslash ("C:\Shows\Demo\"). showFile, the
    // analysed show in full, lets a complete back-up become a weekly task.
    explicit CDialogBackup(std::string showFolder, std::string showFile = std::string());
    explicit CDialogBackup(CheckChosen check);

    // What the last run did, for whoever opened the dialog.
    const BackupOutcome& Outcome() const { return m_outcome; }
    bool Ran() const { return m_bRan; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnStart();
    void OnVerify();
    // The check of a back-up folder with its record beside it.
    void VerifyRecorded(const std::string& root);
    // The check of a copy without a record, by its show files.
    void VerifyCopy(const CheckTarget& target);
    void InitCheckOnly();
    void OnBrowse();
    // Elke week automatisch...: the back-up just made, as a weekly task.
    void OnWeekly();
    // The destination as typed, in full, in UTF-8.
    std::string Destination() const;
    // Says where the back-up goes and what it would copy now.
    void UpdatePlan();
    void SetRange(int64_t bytes);
    void SetProgress(int64_t bytes);
    // Results are shown: Enter no longer starts anything.
    void ShowResults();

    std::string m_csShowFolder;  // UTF-8
    std::string m_csShowFile;    // UTF-8; empty when not known
    std::string m_csCompleteDestination;  // UTF-8: where the last complete back-up went
    std::vector<BackupEntry> m_source;  // the show's tree as the dialog opened
    bool m_bSourceListed = false;
    bool m_bBusy = false;
    bool m_bResults = false;
    int m_nShift = 0;           // bytes >> shift fit the progress bar's range
    BackupOutcome m_outcome;
    bool m_bRan = false;
    // The back-up folder whose check has just failed: its plan line gives
    // no counts that would read as up to date.
    std::string m_csFailedCheckRoot;
    // Only a check, of what was chosen on the first page.
    bool m_bCheckOnly = false;
    std::string m_csChosen;  // UTF-8
    CheckTarget m_target;
};
