#include <Kor2_Sys/cImagen.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::cImagen;

constexpr ParamInfo kObjFrom[] = {{"objFrom", V::Object}};
constexpr auto kMembers = makeTable(std::array{
    function("I__CopyPictureToClipboard", V::Boolean, kObjFrom,
             on<T>([](T& p, CallArgs& a) { return p.I__CopyPictureToClipboard(a[0]); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cImagen;
constexpr ClassInfo cImagen{"cImagen", Creation::Global, kMembers, &create<T, cImagen>, &shared<T, cImagen>};

} // namespace Kor2_Sys::classes
