#pragma once

#include "wizard/page_base.h"

// The introduction: welcome text and the advanced settings.
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
};
