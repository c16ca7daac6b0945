#pragma once

#include "wizard/page_base.h"

// Files that are neither sound nor image: a notice.
class CTestPropPage06 : public CTestPropPageBasis {
public:
    CTestPropPage06();
    const char* ClassName() const override { return "CTestPropPage06"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
};
