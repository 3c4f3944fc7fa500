#include "prompts/WindowGeometry.h"

#include "frame/Trap.h"
#include "platform/WindowSystem.h"
#include "settings/Store.h"

namespace Kor2_Sys::prompts {
namespace {

constexpr std::array<std::u16string_view, 4> kKeys = {u"Left", u"Top", u"Width", u"Height"};

Text regionalSingle(double value)
{
    return Variant(static_cast<Single>(value)).toText();
}

bool overlaps(const platform::ScreenArea& s, double left, double top, double width, double height)
{
    return left < s.left + s.width && left + width > s.left && top < s.top + s.height && top + height > s.top;
}

// A monitor unplugged since the last run must not take the window with it: only a window that no
// screen shows at all is moved, to the middle of the primary screen.
void keepOnScreen(platform::Form& form)
{
    trap::silent(form.name() + ".Form_Load", [&] {
        const auto screens = platform::windowSystem().screens();
        if (screens.empty())
            return;
        for (const auto& s : screens)
            if (overlaps(s, form.left(), form.top(), form.width(), form.height()))
                return;
        const auto& primary = screens.front();
        form.move(primary.left + std::max(0.0, (primary.width - form.width()) / 2),
                  primary.top + std::max(0.0, (primary.height - form.height()) / 2));
    });
}

} // namespace

void loadGeometry(platform::Form& form, const Text& section, const GeometryDefaults& defaults)
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        trap::silent(form.name() + ".Form_Load", [&] {
            const Text stored = settings::store().read(Text(settings::kApplication), section, Text(kKeys[i]),
                                                       regionalSingle(defaults[i]));
            const double value = Variant(stored).toSingle();
            switch (i) {
            case 0: form.move(value, form.top()); break;
            case 1: form.move(form.left(), value); break;
            case 2: form.resize(value, form.height()); break;
            case 3: form.resize(form.width(), value); break;
            }
        });
    }
    keepOnScreen(form);
}

void saveGeometry(const platform::Form& form, const Text& section)
{
    const std::array<double, 4> values = {form.left(), form.top(), form.width(), form.height()};
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        trap::silent(form.name() + ".Form_Unload", [&] {
            settings::store().write(Text(settings::kApplication), section, Text(kKeys[i]), regionalSingle(values[i]));
        });
}

} // namespace Kor2_Sys::prompts
