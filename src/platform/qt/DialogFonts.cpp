#include "platform/qt/DialogFonts.h"

#include "platform/qt/QtText.h"

#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace Kor2_Sys::platform::qt {
namespace {

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

constexpr double kFontSizes[] = {8.0, 7.5, 7.0};
// The desktop's own family (empty here), then narrower ones.
constexpr std::u16string_view kFontFamilies[] = {u"", u"DejaVu Sans Condensed", u"Liberation Sans Narrow",
                                                 u"Nimbus Sans Narrow"};
constexpr std::size_t kFontCandidates = std::size(kFontSizes) * std::size(kFontFamilies);

// Candidate `i`: each family in turn at each size.
QFont fontCandidate(std::size_t i)
{
    const std::u16string_view family = kFontFamilies[i % std::size(kFontFamilies)];
    QFont candidate(family.empty() ? QFont().family() : toQString(family));
    candidate.setPointSizeF(kFontSizes[i / std::size(kFontFamilies)]);
    return candidate;
}

} // namespace

QtMeasure::QtMeasure(const QFont& font) : font(font), m_metrics(font), m_bold(boldOf(font)) {}

int QtMeasure::advance(std::u16string_view text, bool bold) const
{
    return (bold ? m_bold : m_metrics).horizontalAdvance(toQString(text));
}

int QtMeasure::wrappedHeight(std::u16string_view text, int width, bool bold) const
{
    return (bold ? m_bold : m_metrics).boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, toQString(text)).height();
}

DialogFont dialogFont(const Form& form, double tppX, double tppY)
{
    // A candidate is measured only when the window's captions were never fitted at these factors,
    // and the chosen one is rebuilt alone: measuring a font means loading it.
    std::vector<std::optional<QtMeasure>> measured(kFontCandidates);
    const auto measure = [&](std::size_t i) -> const view::TextMeasure& {
        if (!measured[i])
            measured[i].emplace(fontCandidate(i));
        return *measured[i];
    };
    const std::optional<std::size_t> chosen = view::chooseFont(form, tppX, tppY, "qt", kFontCandidates, measure);
    DialogFont dialog;
    dialog.font.setPointSizeF(8);
    if (chosen)
        dialog.font = fontCandidate(*chosen);
    dialog.captionsFit = chosen.has_value();
    return dialog;
}

} // namespace Kor2_Sys::platform::qt
