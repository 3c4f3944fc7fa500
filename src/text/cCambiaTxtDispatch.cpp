#include <Kor2_Sys/cCambiaTxt.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using T = Kor2_Sys::cCambiaTxt;

constexpr auto kMembers = [] {
    // Its parameters are not published: it takes whatever the host passes and declines the action.
    MemberInfo row = function("cCambiaTexto", ValueType::Text, {},
                              on<T>([](T& c, CallArgs& a) { return c.cCambiaTexto(a.all()); }));
    row.acceptsAnyArguments = true;
    return makeTable(std::array{row});
}();
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cCambiaTxt;
constexpr ClassInfo cCambiaTxt{"cCambiaTxt", Creation::Global, kMembers, &create<T, cCambiaTxt>, &shared<T, cCambiaTxt>};

} // namespace Kor2_Sys::classes
