#pragma once
// The fonts a form window shows its controls in, chosen as the form view's caption rules say, and
// how the platform measures text in them.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <windows.h>

namespace Kor2_Sys::platform::win32 {

/// The fonts of the windows shown with one candidate at one resolution; kept for the process.
struct FontSet {
    HFONT regular, bold, fixed;
    int lineSpacing;
};

/// The fonts of a form on a screen of `dpi`: the first candidate in which every caption fits its
/// control (`view::chooseFont`); when none does, the message font at 8 points, and `captionsFit`
/// false so that the labels grow to show their captions.
const FontSet& formFonts(const Form& form, UINT dpi, double twipsPerPixel, bool& captionsFit);

/// Text measured on a screen drawing context in a font and its bold weight.
class GdiMeasure final : public view::TextMeasure {
public:
    /// Measures in fonts the caller keeps.
    GdiMeasure(HFONT regular, HFONT bold);
    /// Makes the fonts of `font`, and its bold; `named`: the family was asked for by name, and a
    /// machine without it has no such candidate (it measures nothing as fitting).
    GdiMeasure(const LOGFONTW& font, bool named);
    ~GdiMeasure() override;
    GdiMeasure(const GdiMeasure&) = delete;
    GdiMeasure& operator=(const GdiMeasure&) = delete;

    int advance(std::u16string_view text, bool bold) const override;
    int wrappedHeight(std::u16string_view text, int width, bool bold) const override;
    int lineSpacing() const override { return m_lineSpacing; }

private:
    void measureLines();

    HDC m_dc;
    HFONT m_font, m_bold;
    bool m_owned;
    int m_lineSpacing = 13;
    bool m_absent = false;
};

} // namespace Kor2_Sys::platform::win32
