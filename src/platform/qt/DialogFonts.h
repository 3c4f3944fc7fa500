#pragma once
// The font a form dialog is shown in, and how Qt measures text in a font for the form view's
// caption rules.

#include "platform/Form.h"
#include "platform/FormView.h"

#include <QFont>
#include <QFontMetrics>

namespace Kor2_Sys::platform::qt {

/// Text measured by Qt in one font (and its bold weight).
class QtMeasure final : public view::TextMeasure {
public:
    explicit QtMeasure(const QFont& font);
    int advance(std::u16string_view text, bool bold) const override;
    int wrappedHeight(std::u16string_view text, int width, bool bold) const override;
    int lineSpacing() const override { return m_metrics.lineSpacing(); }

    QFont font;

private:
    QFontMetrics m_metrics, m_bold;
};

/// The dialog font of a form: the first candidate (the desktop's family, then narrower ones, at 8
/// points and smaller) in which every caption fits (`view::chooseFont`); when none fits them all,
/// an 8-point desktop font, and the labels grow to show their captions.
struct DialogFont {
    QFont font;
    bool captionsFit = false;
};
DialogFont dialogFont(const Form& form, double twipsPerPixelX, double twipsPerPixelY);

} // namespace Kor2_Sys::platform::qt
