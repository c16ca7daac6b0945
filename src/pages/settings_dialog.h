// The advanced settings: the names of the show's three subfolders in which
// the repairs put sound files, images and other files.
#pragma once

#include <string>

#include "wizard/dialog.h"

class CDialogSettings : public CModalDialog {
public:
    CDialogSettings();

    // The caller fills these before DoModal; after IDOK they hold the
    // accepted names, each without one trailing backslash.
    std::string m_csSubmapAudio;
    std::string m_csSubmapPlaatjes;
    std::string m_csSubmapOverige;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // Fields to controls (false) or controls to fields (true).
    void DoDataExchange(bool bSaveAndValidate);
};
