#include "platform/qt/DialogFonts.h"

#include "platform/qt/QtText.h"

#include <iterator>
#include <optional>
#include <vector>

namespace Kor2_Sys::platform::qt {
namespace {

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

constexpr double kFontSizes[] = {8.0, 7.5, 7.0};
constexpr std::size_t kFontFamilies = 4;
constexpr std::size_t kFontCandidates = std::size(kFontSizes) * kFontFamilies;

// The desktop's own family, then narrower ones, at each size.
std::vector<QtMeasure> fontCandidates()
{
    const QString families[kFontFamilies] = {QFont().family(), QStringLiteral("DejaVu Sans Condensed"),
                                             QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Nimbus Sans Narrow")};
    std::vector<QtMeasure> candidates;
    for (double size : kFontSizes)
        for (const QString& family : families) {
            QFont candidate(family);
            candidate.setPointSizeF(size);
            candidates.emplace_back(candidate);
        }
    return candidates;
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
    // Candidates are measured only when the window's captions were never fitted at these factors.
    std::optional<std::vector<QtMeasure>> candidates;
    const auto measure = [&](std::size_t i) -> const view::TextMeasure& {
        if (!candidates)
            candidates = fontCandidates();
        return (*candidates)[i];
    };
    const std::optional<std::size_t> chosen = view::chooseFont(form, tppX, tppY, "qt", kFontCandidates, measure);
    DialogFont dialog;
    dialog.font.setPointSizeF(8);
    if (chosen)
        dialog.font = static_cast<const QtMeasure&>(measure(*chosen)).font;
    dialog.captionsFit = chosen.has_value();
    return dialog;
}

} // namespace Kor2_Sys::platform::qt
