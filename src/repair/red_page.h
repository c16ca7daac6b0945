#pragma once

#include "repair/repair_page_base.h"

// Files the show names that are missing: what to do in Wings.
class CTestPropPage03 : public CRepairPageBasis {
public:
    CTestPropPage03();
    const char* ClassName() const override { return "CTestPropPage03"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    void OnStartWings();
    // Searches the drives for the missing files and copies the chosen ones
    // into the show; afterwards the page says what to do next.
    void OnFindMissing();
    void PlaceNextLine();
};
