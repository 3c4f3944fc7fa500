#include <Kor2_Sys/cCambiaTxt.h>

#include "frame/Errors.h"

namespace Kor2_Sys {

Text cCambiaTxt::cCambiaTexto(std::span<Variant>)
{
    throw errors::actionNotSupported();
}

template <> cCambiaTxt& global<cCambiaTxt>()
{
    static cCambiaTxt instance;
    return instance;
}

} // namespace Kor2_Sys
