#include "frame/Classes.h"
#include "frame/Dispatch.h"

// Machine, volume and disk information arrive with the Linux services behind them.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr ParamInfo kSerie[] = {{"LetraUnidad", V::Text}, {"NombreVolumen", V::Text}, {"NumeroSerie", V::Text},
                                {"NombeSystem", V::Text}};
constexpr ParamInfo kLetra[] = {{"s", V::Text}};
constexpr ParamInfo kNombre[] = {{"Nombre", V::Text}};
constexpr auto kInfoDiscoVol = makeTable(std::array{
    function("D_Nombre_Maquina", V::Text, {}),
    sub("D_NumeroDeSerieVolyMas", kSerie),
    function("D_Sol", V::Text, kLetra),
    function("D_Existe_fichero", V::Boolean, kNombre),
});

// The drive is an unsigned byte; it travels as a 16-bit integer and the write checks its range.
constexpr auto kVL = makeTable(std::array{
    propertyGet("Copyright", V::Text),
    function("GetModelNumber", V::Text, {}),
    function("GetSerialNumber", V::Text, {}),
    function("GetFirmwareRevision", V::Text, {}),
    propertyPut("CurrentDrive", V::Integer),
    propertyGet("CurrentDrive", V::Integer),
    propertyGet("Platform", V::Text),
});
} // namespace

constexpr ClassInfo CinfoDiscoVol{"CinfoDiscoVol", Creation::Global, kInfoDiscoVol, &create<Unbuilt, CinfoDiscoVol>,
                                  &shared<Unbuilt, CinfoDiscoVol>};
constexpr ClassInfo c_VL{"c_VL", Creation::Creatable, kVL, &create<Unbuilt, c_VL>, nullptr};

} // namespace Kor2_Sys::classes
