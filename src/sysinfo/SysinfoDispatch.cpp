#include <Kor2_Sys/CinfoDiscoVol.h>
#include <Kor2_Sys/c_VL.h>

#include "frame/Classes.h"
#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using I = Kor2_Sys::CinfoDiscoVol;
using D = Kor2_Sys::c_VL;

constexpr ParamInfo kSerie[] = {{"LetraUnidad", V::Text}, {"NombreVolumen", V::Text}, {"NumeroSerie", V::Text},
                                {"NombeSystem", V::Text}};
constexpr ParamInfo kLetra[] = {{"s", V::Text}};
constexpr ParamInfo kNombre[] = {{"Nombre", V::Text}};
constexpr auto kInfoDiscoVol = makeTable(std::array{
    function("D_Nombre_Maquina", V::Text, {}, on<I>([](I& c, CallArgs&) { return c.D_Nombre_Maquina(); })),
    sub("D_NumeroDeSerieVolyMas", kSerie, on<I>([](I& c, CallArgs& a) {
        c.D_NumeroDeSerieVolyMas(a.text(0), a.text(1), a.text(2), a.text(3));
    })),
    function("D_Sol", V::Text, kLetra, on<I>([](I& c, CallArgs& a) { return c.D_Sol(a.text(0)); })),
    function("D_Existe_fichero", V::Boolean, kNombre, on<I>([](I& c, CallArgs& a) { return c.D_Existe_fichero(a.text(0)); })),
});

constexpr auto kVL = makeTable(std::array{
    propertyGet("Copyright", V::Text, on<D>([](D& c, CallArgs&) { return c.Copyright(); })),
    function("GetModelNumber", V::Text, {}, on<D>([](D& c, CallArgs&) { return c.GetModelNumber(); })),
    function("GetSerialNumber", V::Text, {}, on<D>([](D& c, CallArgs&) { return c.GetSerialNumber(); })),
    function("GetFirmwareRevision", V::Text, {}, on<D>([](D& c, CallArgs&) { return c.GetFirmwareRevision(); })),
    propertyPut("CurrentDrive", V::Byte, on<D>([](D& c, CallArgs& a) { c.CurrentDrive(a.as<Byte>(0)); })),
    propertyGet("CurrentDrive", V::Byte, on<D>([](D& c, CallArgs&) { return c.CurrentDrive(); })),
    propertyGet("Platform", V::Text, on<D>([](D& c, CallArgs&) { return c.Platform(); })),
});
} // namespace

constexpr ClassInfo CinfoDiscoVol{"CinfoDiscoVol", Creation::Global, kInfoDiscoVol, &create<I, CinfoDiscoVol>,
                                  &shared<I, CinfoDiscoVol>};
constexpr ClassInfo c_VL{"c_VL", Creation::Creatable, kVL, &create<D, c_VL>, nullptr};

} // namespace Kor2_Sys::classes
