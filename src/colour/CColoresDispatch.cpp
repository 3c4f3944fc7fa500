#include <Kor2_Sys/CColores.h>

#include "frame/Dispatch.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using T = Kor2_Sys::CColores;

constexpr ParamInfo kNumPorDefectoVb[] = {{"NumPorDefectoVb", ValueType::Long, false}};
constexpr ParamInfo kNombreColor[] = {{"NombreColor", ValueType::Text}};
constexpr ParamInfo kNumColAutocad[] = {{"NumColAutocad", ValueType::Integer}};
constexpr ParamInfo kNumColTB[] = {{"NumColTB", ValueType::Integer}};
constexpr ParamInfo kNumColorVb[] = {{"NumColorVb", ValueType::Long}};
constexpr ParamInfo kNumColorCad[] = {{"NumColorCad", ValueType::Long}};
constexpr ParamInfo kNumColorTB[] = {{"NumColorTB", ValueType::Integer}};
constexpr ParamInfo kNumColorAutocad[] = {{"NumColorAutocad", ValueType::Integer}};

constexpr auto kMembers = makeTable(std::array{
    function("A_Color_Show", ValueType::Long, kNumPorDefectoVb,
             on<T>([](T& c, CallArgs& a) { return c.A_Color_Show(a.longValue(0)); })),
    function("Col_NuVB_de_Nombre_o_inicial", ValueType::Long, kNombreColor,
             on<T>([](T& c, CallArgs& a) { return c.Col_NuVB_de_Nombre_o_inicial(a.text(0)); })),
    function("Col_NuTB_de_NuCad", ValueType::Long, kNumColAutocad,
             on<T>([](T& c, CallArgs& a) { return c.Col_NuTB_de_NuCad(a.integer(0)); })),
    function("Col_NuyNomTB_de_NuTB", ValueType::Text, kNumColTB,
             on<T>([](T& c, CallArgs& a) { return c.Col_NuyNomTB_de_NuTB(a.integer(0)); })),
    function("Col_NombCad_de_NuVb", ValueType::Text, kNumColorVb,
             on<T>([](T& c, CallArgs& a) { return c.Col_NombCad_de_NuVb(a.longValue(0)); })),
    function("Col_NombreCad_NuCad", ValueType::Text, kNumColorCad,
             on<T>([](T& c, CallArgs& a) { return c.Col_NombreCad_NuCad(a.longValue(0)); })),
    function("Col_NuVB_de_NuTB", ValueType::Long, kNumColorTB,
             on<T>([](T& c, CallArgs& a) { return c.Col_NuVB_de_NuTB(a.integer(0)); })),
    function("Col_NumVB_de_NumCad", ValueType::Long, kNumColorAutocad,
             on<T>([](T& c, CallArgs& a) { return c.Col_NumVB_de_NumCad(a.integer(0)); })),
    function("Col_NuCad_de_NuVB", ValueType::Long, kNumColorVb,
             on<T>([](T& c, CallArgs& a) { return c.Col_NuCad_de_NuVB(a.longValue(0)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CColores;
constexpr ClassInfo CColores{"CColores", Creation::Global, kMembers, &create<T, CColores>, &shared<T, CColores>};

} // namespace Kor2_Sys::classes
