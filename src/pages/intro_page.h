#pragma once

#include <string>

#include "wizard/page_base.h"

// What the check from the first page checks: a folder or a show file, in
// UTF-8, or empty when the user cancelled. Tests choose without the picker.
using CheckTargetPicker = std::string (*)(HWND owner);
extern CheckTargetPicker g_pfnPickCheckTarget;

// The introduction: welcome text, the check of a back-up or a copied show
// (needing no analysis), and the advanced settings.
class CTestPropPage00 : public CTestPropPageBasis {
public:
    CTestPropPage00();
    const char* ClassName() const override { return "CTestPropPage00"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int id, int code, HWND ctl) override;

private:
    // Button 1007: the three subfolder names in the settings dialog.
    void OnGeavanceerdeInstellingen();
    // The check of a back-up or a copied show, of a folder or show chosen.
    void OnCheckBackupOrShow();
};
