#pragma once

#include "wizard/page_base.h"

// Files on other drives: copied into the show's subfolders.
class CTestPropPage05 : public CTestPropPageBasis {
public:
    CTestPropPage05();
    const char* ClassName() const override { return "CTestPropPage05"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
};
