#pragma once

#include "wizard/page_base.h"

// Files elsewhere on the show's drive: moved into the show's subfolders.
class CTestPropPage04 : public CTestPropPageBasis {
public:
    CTestPropPage04();
    const char* ClassName() const override { return "CTestPropPage04"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
};
