#pragma once
/// \file cCambiaTxt.h
/// Text transform class. Registered so that hosts can create it; its operation is not offered on
/// this platform.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// Text transform under a modifier and an action word ("contrae" / "descontrae").
class KOR2_SYS_EXPORT cCambiaTxt {
public:
    /// Not offered: always raises error 445 "El objeto no admite esta acción".
    Text cCambiaTexto(std::span<Variant> arguments);
};

/// The shared instance that free calls use: `global<cCambiaTxt>().Member(...)`.
template <> KOR2_SYS_EXPORT cCambiaTxt& global<cCambiaTxt>();

} // namespace Kor2_Sys
