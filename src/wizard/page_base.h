// The base of every wizard page: it places the traffic light on the left
// of the page and draws it.
#pragma once

#include "wizard/property_page.h"
#include "wizard/status_geometry.h"

class CTestPropPageBasis : public CPropertyPage {
public:
    // Template 139 does not exist: the base is never shown by itself.
    CTestPropPageBasis() : CTestPropPageBasis(139, 0) {}
    CTestPropPageBasis(int templateId, int captionId) : CPropertyPage(templateId) { (void)captionId; }

    const char* ClassName() const override { return "CTestPropPageBasis"; }

    void DrawStatus(HDC dc);
    void DrawBlinkLamp(HDC dc);
    // Only the middle lamp is repainted per timer tick, without erasing, so
    // the rest of the page does not flicker.
    void InvalidateBlinkLamp();

    RECT m_rcHousing{};
    RECT m_rcRed{};
    RECT m_rcYellow{};
    RECT m_rcGreen{};
    RECT m_rcPole{};
    RECT m_rcPlate{};
    int m_nCornerWidth = 0;
    int m_nCornerHeight = 0;

protected:
    BOOL OnInitDialog() override;
    bool OnPaint() final;
    // Drawing that a page adds on top of the traffic light.
    virtual void OnDrawOverStatus(HDC /*dc*/) {}
    // Paints the right (rightHalf) or left half of the middle lamp dark.
    void DrawDarkHalfOfYellowLamp(HDC dc, bool rightHalf);
};

// Which lamp the traffic light lights. The application sets it to follow
// the verdict on the analysis, so that the lamp and the pages never
// disagree; unset, all three lamps stay dark.
using StatusLampFn = LitLamp (*)();
extern StatusLampFn g_pfnStatusLamp;

// Bitmap 138, loaded by the first page that is initialised and shared.
HBITMAP StatusBitmap();
