// "Back-up van alle groene shows": one destination, every show of the
// list that has green light backed up into its own folder, one after the
// other, with one progress bar over all of them and a line per show.
#pragma once

#include <string>
#include <vector>

#include "backup/backup_all.h"
#include "common/win_raii.h"
#include "wizard/dialog.h"

struct BackupAllShow {
    std::string show;     // the show file, code page
    Verdict verdict = Verdict::Unreadable;
    std::string words;    // the verdict in a few words, for a show skipped
};

class CLogBatch;
class CLongWork;

class CBackupAllDialog : public CModalDialog {
public:
    explicit CBackupAllDialog(std::vector<BackupAllShow> shows);

    // One line per show, in the order given, once Starten ran.
    const std::vector<BackupAllLine>& Lines() const { return m_lines; }
    bool Ran() const { return m_bRan; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;

private:
    void OnStart();
    void StartProgress(const std::string& folder, const std::vector<int64_t>& sizes);
    bool BackUpShow(size_t index, const std::string& folder, CLongWork& work, int64_t planned, int64_t& before,
                    CLogBatch& log);
    void ShowEnd(const std::string& folder);
    // The bytes each green show would copy to folder, or false (with a
    // message) when the destination cannot be planned or has no room.
    bool PlanAll(const std::string& folder, std::vector<int64_t>& sizes);
    void ShowLine(size_t index, const std::string& text);
    std::string Destination() const;
    void SetProgress(int64_t bytes);

    std::vector<BackupAllShow> m_shows;
    std::vector<BackupAllLine> m_lines;
    UniqueImageList m_imageList;
    int m_nShift = 0;
    bool m_bBusy = false;
    bool m_bRan = false;
};
