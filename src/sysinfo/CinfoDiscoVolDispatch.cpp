#include <Kor2_Sys/CinfoDiscoVol.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::CinfoDiscoVol;

constexpr ParamInfo kSerie[] = {{"LetraUnidad", V::Text}, {"NombreVolumen", V::Text}, {"NumeroSerie", V::Text},
                                {"NombeSystem", V::Text}};
constexpr ParamInfo kLetra[] = {{"s", V::Text}};
constexpr ParamInfo kNombre[] = {{"Nombre", V::Text}};
constexpr auto kMembers = makeTable(std::array{
    function("D_Nombre_Maquina", V::Text, {}, on<T>([](T& c, CallArgs&) { return c.D_Nombre_Maquina(); })),
    sub("D_NumeroDeSerieVolyMas", kSerie, on<T>([](T& c, CallArgs& a) {
        c.D_NumeroDeSerieVolyMas(a.text(0), a.text(1), a.text(2), a.text(3));
    })),
    function("D_Sol", V::Text, kLetra, on<T>([](T& c, CallArgs& a) { return c.D_Sol(a.text(0)); })),
    function("D_Existe_fichero", V::Boolean, kNombre, on<T>([](T& c, CallArgs& a) { return c.D_Existe_fichero(a.text(0)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CinfoDiscoVol;
constexpr ClassInfo CinfoDiscoVol{"CinfoDiscoVol", Creation::Global, kMembers, &create<T, CinfoDiscoVol>,
                                  &shared<T, CinfoDiscoVol>};

} // namespace Kor2_Sys::classes
