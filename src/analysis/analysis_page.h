#pragma once

#include "wizard/page_base.h"

// The analysis of the chosen show and its results.
class CTestPropPage02 : public CTestPropPageBasis {
public:
    CTestPropPage02();
    const char* ClassName() const override { return "CTestPropPage02"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
};
