#include "platform/FormView.h"

#include "frame/NeverDestroyed.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <map>
#include <mutex>
#include <utility>

namespace Kor2_Sys::platform::view {

int toPixels(double twips, double twipsPerPixel)
{
    const double pixels = twips / (twipsPerPixel > 0 ? twipsPerPixel : 15);
    const double nearest = std::round(pixels);
    return static_cast<int>(std::abs(pixels - nearest) < 1e-6 ? nearest : std::trunc(pixels));
}

std::optional<ModelKey> modelKey(const Form& form, const Control& control, NativeKey key, bool shiftHeld,
                                 bool controlOrAltHeld)
{
    if (controlOrAltHeld)
        return std::nullopt;
    const auto walks = [&](int code) -> std::optional<ModelKey> {
        if (!control.swatches)
            return std::nullopt;
        return ModelKey{code, 0};
    };
    switch (key) {
    case NativeKey::Tab:
    case NativeKey::BackTab:
        return ModelKey{keys::Tab, key == NativeKey::BackTab || shiftHeld ? keys::ShiftDown : 0};
    case NativeKey::Enter:
        // A box of several lines takes Enter as a new line, unless there is a default button.
        if (control.kind == ControlKind::TextBox && control.multiline && form.defaultButton().empty())
            return std::nullopt;
        return ModelKey{keys::Enter, 0};
    case NativeKey::Escape: return ModelKey{keys::Escape, 0};
    case NativeKey::Space:
        if (control.kind != ControlKind::Button && !control.swatches)
            return std::nullopt;
        return ModelKey{keys::Space, 0};
    case NativeKey::Left: return walks(keys::Left);
    case NativeKey::Right: return walks(keys::Right);
    case NativeKey::Up: return walks(keys::Up);
    case NativeKey::Down: return walks(keys::Down);
    case NativeKey::Home: return walks(keys::Home);
    case NativeKey::End: return walks(keys::End);
    case NativeKey::Other: break;
    }
    return std::nullopt;
}

PixelRect swatchCell(const Swatches& swatches, int index, int width, int height)
{
    const int columns = std::max(swatches.columns, 1), rows = std::max(swatches.rows, 1);
    const int column = index % columns, row = index / columns;
    const int left = column * width / columns, top = row * height / rows;
    return {left, top, (column + 1) * width / columns - left, (row + 1) * height / rows - top};
}

std::optional<PixelRect> ringCell(const Control& picture, int width, int height)
{
    if (!picture.swatches || picture.swatches->ringed() < 0)
        return std::nullopt;
    return swatchCell(*picture.swatches, picture.swatches->ringed(), width, height);
}

SwatchReading readSwatch(const Swatches& swatches, int cell, bool pictureFocused)
{
    if (cell < 0 || cell >= static_cast<int>(swatches.names.size()))
        return {};
    return {swatches.names[static_cast<std::size_t>(cell)], pictureFocused && cell == swatches.ringed(),
            cell == swatches.selected};
}

Text paletteReading(const Form& form, const Control& picture)
{
    Text name = accessibleName(form, picture);
    if (!picture.swatches || picture.swatches->ringed() < 0)
        return name;
    const SwatchReading ringed = readSwatch(*picture.swatches, picture.swatches->ringed(), true);
    name += u": " + ringed.name;
    if (ringed.selected)
        name += u" (elegido)";
    return name;
}

void paintDisplayList(Painter& painter, const Control& control, int width, int height)
{
    const PictureScale scale = pictureScale(control, width, height);
    const double sx = 1 / scale.unitsX, sy = 1 / scale.unitsY;
    for (const DisplayItem& item : control.picture) {
        switch (item.kind) {
        case DisplayItem::Kind::FilledRect:
            painter.rectangle(item.x1 * sx, item.y1 * sy, item.x2 * sx, item.y2 * sy, item.colour);
            break;
        case DisplayItem::Kind::Line: painter.line(item.x1 * sx, item.y1 * sy, item.x2 * sx, item.y2 * sy, item.colour); break;
        case DisplayItem::Kind::Text: painter.text(item.x1 * sx, item.y1 * sy, item.text, item.colour); break;
        }
    }
}

void paintOutline(Painter& painter, const PixelRect& r, Long colour)
{
    if (r.width <= 0 || r.height <= 0)
        return;
    const double left = r.left, top = r.top, right = r.left + r.width, bottom = r.top + r.height;
    painter.rectangle(left, top, right, top + 1, colour);
    painter.rectangle(left, bottom - 1, right, bottom, colour);
    painter.rectangle(left, top + 1, left + 1, bottom - 1, colour);
    painter.rectangle(right - 1, top + 1, right, bottom - 1, colour);
}

void paintControl(Painter& painter, const Control& c, int width, int height, bool focused)
{
    constexpr Long kBlack = 0, kWhite = 0xFFFFFF;
    if (c.kind == ControlKind::FilledRect) {
        painter.rectangle(0, 0, width, height, c.fillColour.value_or(kDefaultFill));
        paintOutline(painter, {0, 0, width, height}, kBlack);
        return;
    }
    paintDisplayList(painter, c, width, height);
    if (const auto cell = ringCell(c, width, height); cell && focused) {
        paintOutline(painter, {cell->left + 1, cell->top + 1, cell->width - 2, cell->height - 2}, kWhite);
        paintOutline(painter, {cell->left + 2, cell->top + 2, cell->width - 4, cell->height - 4}, kBlack);
    }
}

int buttonCode(MouseButton button)
{
    constexpr int kCodes[] = {1, 2, 4};
    return kCodes[static_cast<std::size_t>(button)];
}

int shiftCode(bool shiftHeld, bool controlHeld, bool altHeld)
{
    return (shiftHeld ? keys::ShiftDown : 0) | (controlHeld ? keys::ControlDown : 0) | (altHeld ? keys::AltDown : 0);
}

int windowStateNumber(bool minimised, bool maximised)
{
    return static_cast<int>(minimised ? WindowState::Minimised : maximised ? WindowState::Maximised : WindowState::Normal);
}

WindowState windowStateOf(Long number)
{
    return number == 1 ? WindowState::Minimised : number == 2 ? WindowState::Maximised : WindowState::Normal;
}

std::optional<ModelKey> accessKey(char32_t character, bool altHeld, bool controlHeld)
{
    if (!altHeld || controlHeld || character <= keys::Space || character == 0x7F || character > 0xFFFF)
        return std::nullopt;
    return ModelKey{static_cast<int>(character), keys::AltDown};
}

bool answeredOnItsWayDown(const Form& form, const Control& control, char32_t character)
{
    NativeKey key = NativeKey::Other;
    switch (character) {
    case keys::Tab: key = NativeKey::Tab; break;
    case keys::Enter: key = NativeKey::Enter; break;
    case keys::Escape: key = NativeKey::Escape; break;
    case keys::Space: key = NativeKey::Space; break;
    default: return false;
    }
    return modelKey(form, control, key, false, false).has_value();
}

bool typedByModel(char32_t character, bool controlOrAltHeld)
{
    return !controlOrAltHeld && (character >= 32 || character == keys::Backspace) && character <= 0xFFFF;
}

TypedMirror mirrorTyped(const Control& box, std::size_t before, std::size_t selected)
{
    const auto caret = static_cast<std::size_t>(std::max<Long>(box.selStart, 0));
    if (box.caption.size() + selected == before + 1 && caret > 0 && caret <= box.caption.size())
        return {TypedMirror::Kind::Insert, box.caption[caret - 1]};
    return {TypedMirror::Kind::Backspace, 0};
}

bool mirrored(const Control& box, std::u16string_view shown, std::size_t caret)
{
    return shown.size() == box.caption.size() && static_cast<Long>(caret) == box.selStart &&
           (caret == 0 || (caret <= shown.size() && shown[caret - 1] == box.caption[caret - 1]));
}

std::vector<const Control*> tabOrder(const Form& form, const std::function<bool(const Control&)>& rendered)
{
    std::vector<const Control*> ordered;
    for (const Control& c : form.controls())
        if (c.tabIndex >= 0 && rendered(c))
            ordered.push_back(&c);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    return ordered;
}

const Control* stackedAbove(const Form& form, const Control& control,
                            const std::function<bool(const Control&)>& rendered)
{
    const auto& controls = form.controls();
    auto it = std::find_if(controls.begin(), controls.end(), [&](const Control& other) { return &other == &control; });
    if (it == controls.end())
        return nullptr;
    for (++it; it != controls.end(); ++it)
        if (it->container == control.container && rendered(*it))
            return &*it;
    return nullptr;
}

Extent scaleUnits(const Control& picture)
{
    const auto units = [](double scale, double size) { return scale > 0 ? scale : std::max(size, 1.0); };
    return {units(picture.scaleWidth, picture.width), units(picture.scaleHeight, picture.height)};
}

PictureScale pictureScale(const Control& picture, int width, int height)
{
    const Extent units = scaleUnits(picture);
    return {units.width / std::max(1, width), units.height / std::max(1, height)};
}

std::pair<double, double> pictureUnits(const Control& picture, int width, int height, double x, double y)
{
    const PictureScale scale = pictureScale(picture, width, height);
    return {x * scale.unitsX, y * scale.unitsY};
}

bool captionFits(const Control& c, const TextMeasure& measure, int width, int height)
{
    switch (c.kind) {
    case ControlKind::Label:
        if (height >= 2 * measure.lineSpacing())
            return measure.wrappedHeight(c.caption, width, c.bold) <= height;
        return measure.advance(c.caption, c.bold) <= width;
    case ControlKind::Button: return measure.advance(c.caption, c.bold) + 8 <= width;
    case ControlKind::Frame: return measure.advance(c.caption, c.bold) + 12 <= width;
    default: return true;
    }
}

bool labelWraps(int height, int lineSpacing)
{
    return height >= 2 * lineSpacing;
}

int fittedLabelWidth(const Control& label, const TextMeasure& measure, int width, int height)
{
    if (captionFits(label, measure, width, height))
        return width;
    if (!labelWraps(height, measure.lineSpacing()))
        return std::max(width, measure.advance(label.caption, label.bold) + 2);
    int wider = width;
    while (wider < 4 * width + 200 && measure.wrappedHeight(label.caption, wider, label.bold) > height)
        wider += 4;
    return wider;
}

void adoptFrame(Form& form, int outerWidth, int outerHeight, int innerWidth, int innerHeight, double tppX, double tppY)
{
    if (!form.resizable())
        return;
    const double frameWidth = (outerWidth - innerWidth) * tppX, frameHeight = (outerHeight - innerHeight) * tppY;
    if (frameWidth == form.frameWidth() && frameHeight == form.frameHeight())
        return;
    form.setFrameSize(frameWidth, frameHeight);
    form.resize(form.width(), form.height());
}

std::optional<std::size_t> chooseFont(const Form& form, double tppX, double tppY, std::string_view renderer,
                                      std::size_t candidates,
                                      const std::function<const TextMeasure&(std::size_t)>& measure)
{
    // Never destroyed: a host may show a window from its own exit handlers.
    static NeverDestroyed<std::mutex> lock;
    static NeverDestroyed<std::map<std::u16string, std::optional<std::size_t>>> chosen;
    std::u16string key(renderer.begin(), renderer.end());
    key += u'|';
    key.append(form.name().begin(), form.name().end());
    // The shortest digits that read back as the factor: exact, and cheap enough for every show.
    for (const double tpp : {tppX, tppY}) {
        char digits[32];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), tpp).ptr;
        key += u'|';
        key.append(std::begin(digits), written);
    }
    for (const Control& c : form.controls()) {
        key += u'|';
        key += c.caption;
    }
    {
        const std::lock_guard guard(*lock);
        if (const auto it = chosen->find(key); it != chosen->end())
            return it->second;
    }
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < candidates && !found; ++i) {
        const TextMeasure& m = measure(i);
        const bool all = std::all_of(form.controls().begin(), form.controls().end(), [&](const Control& c) {
            return c.caption.empty() || captionFits(c, m, toPixels(c.width, tppX), toPixels(c.height, tppY));
        });
        if (all)
            found = i;
    }
    const std::lock_guard guard(*lock);
    return chosen->emplace(std::move(key), found).first->second;
}

int Echo::userEdit(const std::string& control, const std::function<void()>& edit)
{
    const std::string* was = std::exchange(m_editing, &control);
    const int wasNotices = std::exchange(m_notices, 0);
    try {
        edit();
    } catch (...) {
        m_editing = was;
        m_notices = wasNotices;
        throw;
    }
    const int notices = m_notices;
    m_editing = was;
    m_notices = wasNotices;
    return notices;
}

bool Echo::absorbed(const std::string& control)
{
    if (m_editing == nullptr || *m_editing != control)
        return false;
    ++m_notices;
    return true;
}

} // namespace Kor2_Sys::platform::view
