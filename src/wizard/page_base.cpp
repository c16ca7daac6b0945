#include "wizard/page_base.h"

#include "common/win_raii.h"
#include "services/state.h"
#include "resource.h"

namespace {
UniqueGdiObject g_bmpStatus;

constexpr COLORREF kRedPen = RGB(200, 0, 0), kRedBrush = RGB(250, 0, 0), kRedDark = RGB(50, 0, 0);
constexpr COLORREF kYellowPen = RGB(200, 200, 0), kYellowBrush = RGB(250, 250, 0),
                   kYellowDark = RGB(50, 50, 0);
constexpr COLORREF kGreenPen = RGB(0, 200, 0), kGreenBrush = RGB(0, 250, 0), kGreenDark = RGB(0, 50, 0);
constexpr int kBitmapSize = 60;

RECT ToRect(const StatusRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// One lamp's pen and brush for one paint.
struct LampTools {
    UniqueGdiObject pen;
    UniqueGdiObject brush;
    LampTools(COLORREF penColour, COLORREF brushColour)
        : pen(::CreatePen(PS_SOLID, 1, penColour)), brush(::CreateSolidBrush(brushColour)) {}
};

void DrawLamp(HDC dc, const RECT& r, const LampTools& tools) {
    // A pen or brush that could not be made is not selected: the shape is
    // drawn with whatever is selected.
    ScopedSelect pen(dc, tools.pen.get());
    ScopedSelect brush(dc, tools.brush.get());
    ::Ellipse(dc, r.left, r.top, r.right, r.bottom);
}
}  // namespace

HBITMAP StatusBitmap() { return static_cast<HBITMAP>(g_bmpStatus.get()); }

BOOL CTestPropPageBasis::OnInitDialog() {
    if (!g_bmpStatus)
        g_bmpStatus.reset(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_STATUS)));

    RECT rc{};
    HWND frame = GetItem(IDC_STATUS_FRAME);
    ::GetWindowRect(frame, &rc);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    const StatusGeometry g = ComputeStatusGeometry(rc.left, rc.top, rc.right, rc.bottom);
    m_rcHousing = ToRect(g.housing);
    m_rcRed = ToRect(g.red);
    m_rcYellow = ToRect(g.yellow);
    m_rcGreen = ToRect(g.green);
    m_rcPole = ToRect(g.pole);
    m_rcPlate = ToRect(g.plate);
    m_nCornerWidth = g.cornerWidth;
    m_nCornerHeight = g.cornerHeight;
    return TRUE;
}

bool CTestPropPageBasis::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc) {
        DrawStatus(dc);
        OnDrawOverStatus(dc);
    }
    ::EndPaint(m_hWnd, &ps);
    return true;
}

void CTestPropPageBasis::DrawStatus(HDC dc) {
    LitLamp lit = ChooseLitLamp(g_nRed, g_nYellow, g_nGreen);
    // A file the check found damaged will not play, as a missing one.
    if (lit != LitLamp::None && DamagedFileCount() > 0) lit = LitLamp::Red;
    const LampTools red(lit == LitLamp::Red ? kRedPen : kRedDark, lit == LitLamp::Red ? kRedBrush : kRedDark);
    const LampTools yellow(lit == LitLamp::Yellow ? kYellowPen : kYellowDark,
                           lit == LitLamp::Yellow ? kYellowBrush : kYellowDark);
    const LampTools green(lit == LitLamp::Green ? kGreenPen : kGreenDark,
                          lit == LitLamp::Green ? kGreenBrush : kGreenDark);

    {
        ScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
        ScopedSelect brush(dc, ::GetStockObject(BLACK_BRUSH));
        ::RoundRect(dc, m_rcHousing.left, m_rcHousing.top, m_rcHousing.right, m_rcHousing.bottom,
                    m_nCornerWidth, m_nCornerHeight);
        ::Rectangle(dc, m_rcPole.left, m_rcPole.top, m_rcPole.right, m_rcPole.bottom);
        ScopedSelect white(dc, ::GetStockObject(WHITE_BRUSH));
        ::Rectangle(dc, m_rcPlate.left, m_rcPlate.top, m_rcPlate.right, m_rcPlate.bottom);
    }
    DrawLamp(dc, m_rcRed, red);
    DrawLamp(dc, m_rcYellow, yellow);
    DrawLamp(dc, m_rcGreen, green);
    DrawBlinkLamp(dc);
}

void CTestPropPageBasis::DrawBlinkLamp(HDC dc) {
    if (g_bAnalysed) return;
    HBITMAP bmp = StatusBitmap();
    if (g_bBlink == 1 && bmp) {
        UniqueMemoryDc mem(::CreateCompatibleDC(dc));
        if (!mem) return;
        ::SetMapMode(mem.get(), ::GetMapMode(dc));
        ScopedSelect sel(mem.get(), bmp);
        // Fitted to the lamp: copied at its own 60 pixels, the bitmap leaves a
        // crescent of the dark lamp beside it wherever the lamp is larger.
        const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, m_rcYellow.left, m_rcYellow.top, m_rcYellow.right - m_rcYellow.left,
                     m_rcYellow.bottom - m_rcYellow.top, mem.get(), 0, 0, kBitmapSize, kBitmapSize,
                     SRCCOPY);
        ::SetStretchBltMode(dc, oldMode);
    } else if (g_bBlink == 1) {
        DrawLamp(dc, m_rcYellow, LampTools(kYellowPen, kYellowBrush));
    } else {
        DrawLamp(dc, m_rcYellow, LampTools(kYellowDark, kYellowDark));
    }
}

void CTestPropPageBasis::InvalidateBlinkLamp() {
    if (m_hWnd) ::InvalidateRect(m_hWnd, &m_rcYellow, FALSE);
}

void CTestPropPageBasis::DrawDarkHalfOfYellowLamp(HDC dc, bool rightHalf) {
    const LampTools dark(kYellowDark, kYellowDark);
    ScopedSelect pen(dc, dark.pen.get());
    ScopedSelect brush(dc, dark.brush.get());
    const RECT& r = m_rcYellow;
    const int cx = (r.left + r.right) / 2;
    // Pie runs counter-clockwise from the first point to the second.
    if (rightHalf)
        ::Pie(dc, r.left, r.top, r.right, r.bottom, cx, r.bottom, cx, r.top);
    else
        ::Pie(dc, r.left, r.top, r.right, r.bottom, cx, r.top, cx, r.bottom);
}
