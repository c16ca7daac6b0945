#pragma once

#include "wizard/page_base.h"

// The verdict: green light or regret.
class CTestPropPage99 : public CTestPropPageBasis {
public:
    CTestPropPage99();
    const char* ClassName() const override { return "CTestPropPage99"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int id, int code, HWND ctl) override;
};
