#include <Kor2_Sys/cImagen.h>

#include "desktop/HostCalls.h"
#include "frame/Trap.h"
#include "platform/WindowSystem.h"

#include <cstdint>
#include <limits>

namespace Kor2_Sys {
namespace {

// Whole pixels in a length of twips: both numbers go to the nearest whole number first and the
// quotient is cut toward zero, so a part of a pixel at the edge is left out.
Long pixels(const Variant& twips, double twipsPerPixel)
{
    const Long length = twips.toLong();
    const Long perPixel = desktop::nearest(twipsPerPixel);
    if (perPixel == 0)
        throw errors::divisionByZero();
    const std::int64_t quotient = std::int64_t{length} / perPixel;
    if (quotient > std::numeric_limits<Long>::max())
        throw errors::overflow();
    return static_cast<Long>(quotient);
}

} // namespace

Boolean cImagen::I__CopyPictureToClipboard(const Variant& objFrom)
{
    Boolean result = false;
    trap::report(u".C_clipb", [&] {
        platform::WindowSystem& ws = platform::windowSystem();
        // Cleared first, so that a copy that cannot be made leaves nothing stale to paste.
        ws.clipboardClear();
        const auto source = desktop::hostObject(objFrom);
        const auto drawing = ws.createMemoryDrawing(getProperty(*source, "hdc").toLong());
        if (!drawing)
            return;
        const Long width = pixels(getProperty(*source, "ScaleWidth"), desktop::twipsPerPixelX());
        const Long height = pixels(getProperty(*source, "ScaleHeight"), desktop::twipsPerPixelY());
        // An empty or oversized area makes no bitmap: the copy is still done, of nothing.
        if (auto bitmap = drawing->createBitmap(width, height)) {
            drawing->copySource(*bitmap);
            ws.clipboardSetBitmap(std::move(bitmap));
        }
        result = true;
    });
    return result;
}

template <> cImagen& global<cImagen>()
{
    static cImagen instance;
    return instance;
}

} // namespace Kor2_Sys
