#pragma once

#include "repair/repair_page_base.h"

// Files elsewhere on the show's drive: moved into the show's subfolders.
class CTestPropPage04 : public CYellowPageBasis {
public:
    CTestPropPage04();
    const char* ClassName() const override { return "CTestPropPage04"; }

protected:
    BOOL OnInitDialog() override;
    int32_t FileCount() const override;
    void OnCorrigeren() override;
};
