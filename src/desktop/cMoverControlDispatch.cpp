#include <Kor2_Sys/cMoverControl.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::cMoverControl;

constexpr ParamInfo kSeleccionar[] = {{"Button", V::Integer}, {"Control", V::Object}};
constexpr ParamInfo kMover[] = {{"Button", V::Integer}, {"Shift", V::Integer}, {"Control", V::Object}};
constexpr auto kMembers = makeTable(std::array{
    sub("Mueve_CtrlSeleccionar", kSeleccionar,
        on<T>([](T& m, CallArgs& a) { m.Mueve_CtrlSeleccionar(a.integer(0), a[1]); })),
    sub("Mueve_CtrlMover", kMover, on<T>([](T& m, CallArgs& a) { m.Mueve_CtrlMover(a.integer(0), a.integer(1), a[2]); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cMoverControl;
constexpr ClassInfo cMoverControl{"cMoverControl", Creation::Global, kMembers, &create<T, cMoverControl>,
                                  &shared<T, cMoverControl>};

} // namespace Kor2_Sys::classes
