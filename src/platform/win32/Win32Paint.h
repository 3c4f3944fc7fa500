#pragma once
// How the form window paints with the platform's drawing calls: the form view's painter on a
// drawing context, the library's picture class and the buttons it draws itself.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <windows.h>

namespace Kor2_Sys::platform::win32 {

/// The colour reference of a colour number: both keep red in the lowest byte.
constexpr COLORREF colourRef(Long colour)
{
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

/// The form view's painter on a drawing context, in whole pixels.
class GdiPainter final : public view::Painter {
public:
    explicit GdiPainter(HDC dc);
    void rectangle(double x1, double y1, double x2, double y2, Long colour) override;
    void line(double x1, double y1, double x2, double y2, Long colour) override;
    void text(double x, double y, const Text& text, Long colour) override;

private:
    HDC m_dc;
};

/// Paints a picture or filled rectangle `control` of the picture class whole, as it stands in the
/// model (answers its paint message).
void paintPicture(HWND control, const Control& c);

/// Draws a button in its own colour or with its picture, as the owner of a drawn button does.
void drawButton(const DRAWITEMSTRUCT& item, const Control& c);

} // namespace Kor2_Sys::platform::win32
