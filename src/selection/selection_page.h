#pragma once

#include "wizard/page_base.h"

// The choice of the show: typed, browsed for, or found by a search.
class CTestPropPage01 : public CTestPropPageBasis {
public:
    CTestPropPage01();
    const char* ClassName() const override { return "CTestPropPage01"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
};
