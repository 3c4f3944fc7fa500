#pragma once
// What the desktop utilities share when they drive the host's own objects: taking the object out
// of the argument the host passed, reading its window handle or its default value, and the
// pixel ↔ twip rules.

#include <Kor2_Sys/Object.h>

#include "frame/Errors.h"
#include "platform/WindowSystem.h"

#include <memory>

namespace Kor2_Sys::desktop {

/// The host object an argument holds. The argument arrives as the host passed it, so the check
/// happens here, inside the calling operation's own trap: nothing (empty or a cleared reference)
/// is error 91, any value that is no object is error 424.
inline std::shared_ptr<Object> hostObject(const Variant& argument)
{
    if (argument.isEmpty())
        throw errors::objectNotSet();
    const auto* held = std::get_if<std::shared_ptr<Object>>(&argument.storage());
    if (held == nullptr)
        throw errors::objectRequired();
    if (!*held)
        throw errors::objectNotSet();
    return *held;
}

/// A host object's member read as a 32-bit number (`hWnd`, `hdc`).
inline Long handleOf(const Variant& argument, std::string_view member = "hWnd")
{
    return getProperty(*hostObject(argument), member).toLong();
}

/// The value a host object stands for where a value is wanted (a picture's bitmap handle): its
/// default member, which late binding names with the empty name. Read afresh on every call, as the
/// host's expression that uses the object would.
inline Variant defaultValue(const Variant& argument)
{
    return getProperty(*hostObject(argument), "");
}

/// A floating value taken to the nearest whole number, a tie going to the even one (so 22.5 is
/// 22); error 6 when it does not fit 32 bits. Pixels become twips through it.
inline Long nearest(double value)
{
    return Variant(value).toLong();
}

/// The screen's twips per pixel, as the host's own screen object gives them: single precision.
inline double twipsPerPixelX()
{
    return static_cast<Single>(platform::windowSystem().twipsPerPixelX());
}
inline double twipsPerPixelY()
{
    return static_cast<Single>(platform::windowSystem().twipsPerPixelY());
}

} // namespace Kor2_Sys::desktop
