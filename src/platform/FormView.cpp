#include "platform/FormView.h"

#include "frame/NeverDestroyed.h"

#include <algorithm>
#include <cmath>
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
    if (!picture.swatches || picture.swatches->names.empty())
        return std::nullopt;
    const int cells = static_cast<int>(picture.swatches->names.size());
    return swatchCell(*picture.swatches, std::clamp(picture.swatches->current, 0, cells - 1), width, height);
}

std::optional<ModelKey> accessKey(char32_t character, bool altHeld, bool controlHeld)
{
    if (!altHeld || controlHeld || character <= keys::Space || character == 0x7F || character > 0xFFFF)
        return std::nullopt;
    return ModelKey{static_cast<int>(character), keys::AltDown};
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

namespace {
double units(double scale, double size)
{
    return scale > 0 ? scale : std::max(size, 1.0);
}
} // namespace

PictureScale pictureScale(const Control& picture, int width, int height)
{
    return {units(picture.scaleWidth, picture.width) / std::max(1, width),
            units(picture.scaleHeight, picture.height) / std::max(1, height)};
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
    for (const double tpp : {tppX, tppY}) {
        const std::string digits = std::to_string(tpp);
        key += u'|';
        key.append(digits.begin(), digits.end());
    }
    for (const Control& c : form.controls())
        key += u'|' + c.caption;
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
