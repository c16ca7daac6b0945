#pragma once

#include "repair/repair_page_base.h"

// Files on other drives: copied into the show's subfolders.
class CTestPropPage05 : public CYellowPageBasis {
public:
    CTestPropPage05();
    const char* ClassName() const override { return "CTestPropPage05"; }

protected:
    BOOL OnInitDialog() override;
    int32_t FileCount() const override;
    void OnCorrigeren() override;
};
