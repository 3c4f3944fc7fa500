#include "platform/win32/Win32Paint.h"

#include "platform/win32/Win32Text.h"

#include <cmath>
#include <string>

namespace Kor2_Sys::platform::win32 {
namespace {

int whole(double v)
{
    return static_cast<int>(std::lround(v));
}

} // namespace

GdiPainter::GdiPainter(HDC dc) : m_dc(dc)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
}

void GdiPainter::rectangle(double x1, double y1, double x2, double y2, Long colour)
{
    const RECT r{whole(x1), whole(y1), whole(x2), whole(y2)};
    HBRUSH brush = CreateSolidBrush(colourRef(colour));
    FillRect(m_dc, &r, brush);
    DeleteObject(brush);
}

void GdiPainter::line(double x1, double y1, double x2, double y2, Long colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colourRef(colour));
    HGDIOBJ old = SelectObject(m_dc, pen);
    MoveToEx(m_dc, whole(x1), whole(y1), nullptr);
    LineTo(m_dc, whole(x2), whole(y2));
    SelectObject(m_dc, old);
    DeleteObject(pen);
}

void GdiPainter::text(double x, double y, const Text& text, Long colour)
{
    SetTextColor(m_dc, colourRef(colour));
    const std::wstring shown = wide(text);
    TextOutW(m_dc, whole(x), whole(y), shown.c_str(), static_cast<int>(shown.size()));
}

// A picture has no background brush: its own back colour, else the buttons' face, then what the
// form view paints over it.
void paintPicture(HWND control, const Control& c)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT r{};
    GetClientRect(control, &r);
    if (c.kind != ControlKind::FilledRect) {
        SetDCBrushColor(dc, colourRef(c.backColour.value_or(static_cast<Long>(GetSysColor(COLOR_BTNFACE)))));
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    GdiPainter painter(dc);
    view::paintControl(painter, c, r.right, r.bottom, GetFocus() == control);
    EndPaint(control, &paint);
}

void drawButton(const DRAWITEMSTRUCT& item, const Control& c)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    SetDCBrushColor(dc, c.backColour ? colourRef(*c.backColour) : GetSysColor(COLOR_BTNFACE));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawEdge(dc, &r, item.itemState & ODS_SELECTED ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    {
        GdiPainter painter(dc);
        view::paintDisplayList(painter, c, r.right - r.left, r.bottom - r.top);
    }
    const std::wstring caption = wide(c.caption);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

} // namespace Kor2_Sys::platform::win32
