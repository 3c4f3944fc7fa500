#include "platform/win32/Win32Fonts.h"

#include "platform/win32/Win32Text.h"

#include <cmath>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Kor2_Sys::platform::win32 {
namespace {

// The layout's captions were measured in a narrow 8-point font: the message font at its own size
// and smaller ones first, then narrow families that the machine may have.
struct FontCandidate {
    const wchar_t* family;  // null: the message font's own
    double points;          // 0: the message font's own size
};
constexpr FontCandidate kFontCandidates[] = {
    {nullptr, 0},          {nullptr, 8},           {nullptr, 7.5},         {nullptr, 7},
    {L"Arial Narrow", 8},  {L"DejaVu Sans Condensed", 8},  {L"Liberation Sans Narrow", 8},
    {L"Arial Narrow", 7.5}, {L"DejaVu Sans Condensed", 7.5}, {L"Liberation Sans Narrow", 7.5},
    {L"Arial Narrow", 7},  {L"DejaVu Sans Condensed", 7},  {L"Liberation Sans Narrow", 7},
};
// When no candidate fits every caption: the message font at 8 points.
constexpr std::size_t kFallback = 1;

// A candidate font for a screen of `dpi`.
LOGFONTW candidateFont(const FontCandidate& candidate, UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (candidate.points > 0)
        font.lfHeight = -static_cast<LONG>(std::lround(candidate.points * dpi / 72.0));
    else
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), 96);
    if (candidate.family != nullptr) {
        wcsncpy(font.lfFaceName, candidate.family, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    return font;
}

// Made once per candidate and resolution and kept for the process: making fonts is a good part of
// the time a window takes to show, and windows come back with the same ones.
const FontSet& fontSet(std::size_t candidate, UINT dpi)
{
    static std::mutex lock;
    static std::map<std::pair<std::size_t, UINT>, FontSet> made;
    const std::lock_guard guard(lock);
    const auto key = std::pair(candidate, dpi);
    if (const auto it = made.find(key); it != made.end())
        return it->second;
    LOGFONTW font = candidateFont(kFontCandidates[candidate], dpi), bold = font, fixed{};
    bold.lfWeight = FW_BOLD;
    fixed.lfHeight = -static_cast<LONG>(std::lround(8.25 * dpi / 72.0));
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    FontSet set{CreateFontIndirectW(&font), CreateFontIndirectW(&bold), CreateFontIndirectW(&fixed), 13};
    set.lineSpacing = GdiMeasure(set.regular, set.bold).lineSpacing();
    return made.emplace(key, set).first->second;
}

} // namespace

const FontSet& formFonts(const Form& form, UINT dpi, double tpp, bool& captionsFit)
{
    std::vector<std::unique_ptr<GdiMeasure>> candidates(std::size(kFontCandidates));
    const auto measure = [&](std::size_t i) -> const view::TextMeasure& {
        if (!candidates[i])
            candidates[i] = std::make_unique<GdiMeasure>(candidateFont(kFontCandidates[i], dpi),
                                                         kFontCandidates[i].family != nullptr);
        return *candidates[i];
    };
    const auto chosen = view::chooseFont(form, tpp, tpp, "win32", std::size(kFontCandidates), measure);
    captionsFit = chosen.has_value();
    return fontSet(chosen.value_or(kFallback), dpi);
}

GdiMeasure::GdiMeasure(HFONT regular, HFONT bold)
    : m_dc(CreateCompatibleDC(nullptr)), m_font(regular), m_bold(bold), m_owned(false)
{
    measureLines();
}

GdiMeasure::GdiMeasure(const LOGFONTW& font, bool named) : m_dc(CreateCompatibleDC(nullptr)), m_owned(true)
{
    LOGFONTW bold = font;
    bold.lfWeight = FW_BOLD;
    m_font = CreateFontIndirectW(&font);
    m_bold = CreateFontIndirectW(&bold);
    measureLines();
    // A family the machine lacks comes back as another one: it is no candidate.
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(m_dc, LF_FACESIZE, face);
    m_absent = named && _wcsicmp(face, font.lfFaceName) != 0;
}

GdiMeasure::~GdiMeasure()
{
    DeleteDC(m_dc);
    if (!m_owned)
        return;
    DeleteObject(m_bold);
    if (m_font)
        DeleteObject(m_font);
}

void GdiMeasure::measureLines()
{
    SelectObject(m_dc, m_font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_dc, &metrics);
    m_lineSpacing = metrics.tmHeight + metrics.tmExternalLeading;
}

int GdiMeasure::advance(std::u16string_view text, bool bold) const
{
    if (m_absent)
        return 1 << 20;
    SelectObject(m_dc, bold ? m_bold : m_font);
    const std::wstring w = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(m_dc, w.c_str(), static_cast<int>(w.size()), &size);
    return size.cx;
}

int GdiMeasure::wrappedHeight(std::u16string_view text, int width, bool bold) const
{
    if (m_absent)
        return 1 << 20;
    SelectObject(m_dc, bold ? m_bold : m_font);
    const std::wstring w = wide(text);
    RECT r{0, 0, width, 0};
    DrawTextW(m_dc, w.c_str(), static_cast<int>(w.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return r.bottom - r.top;
}

} // namespace Kor2_Sys::platform::win32
