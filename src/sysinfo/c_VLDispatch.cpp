#include <Kor2_Sys/c_VL.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::c_VL;

constexpr auto kMembers = makeTable(std::array{
    propertyGet("Copyright", V::Text, on<T>([](T& c, CallArgs&) { return c.Copyright(); })),
    function("GetModelNumber", V::Text, {}, on<T>([](T& c, CallArgs&) { return c.GetModelNumber(); })),
    function("GetSerialNumber", V::Text, {}, on<T>([](T& c, CallArgs&) { return c.GetSerialNumber(); })),
    function("GetFirmwareRevision", V::Text, {}, on<T>([](T& c, CallArgs&) { return c.GetFirmwareRevision(); })),
    propertyPut("CurrentDrive", V::Byte, on<T>([](T& c, CallArgs& a) { c.CurrentDrive(a.as<Byte>(0)); })),
    propertyGet("CurrentDrive", V::Byte, on<T>([](T& c, CallArgs&) { return c.CurrentDrive(); })),
    propertyGet("Platform", V::Text, on<T>([](T& c, CallArgs&) { return c.Platform(); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo c_VL;
constexpr ClassInfo c_VL{"c_VL", Creation::Creatable, kMembers, &create<T, c_VL>, nullptr};

} // namespace Kor2_Sys::classes
