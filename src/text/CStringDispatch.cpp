#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The text and number members arrive with the text utilities; until then every member answers
// error 438 while the identifiers are already fixed by this table.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr ParamInfo kLeeTira1[] = {{"Tira", V::Text}, {"nElementos", V::Long}, {"Elementos", V::Array}};
constexpr ParamInfo kLeeTira[] = {{"Tira", V::Text}, {"Elementos", V::Array}};
constexpr ParamInfo kSp[] = {{"Valor", V::Any}, {"Longitud", V::Integer}};
constexpr ParamInfo kRuta[] = {{"rutayarchivo", V::Text}};
constexpr ParamInfo kValorRef[] = {{"Valor", V::Text}};
constexpr ParamInfo kValorByVal[] = {{"Valor", V::Text, false}};
constexpr ParamInfo kRedondea[] = {{"Numero", V::Double}, {"Decimales", V::Integer}};
constexpr ParamInfo kFM[] = {{"Valor", V::Any}, {"Decimales", V::Integer}, {"Enteros", V::Integer, true, true, 0}};

constexpr auto kMembers = makeTable(std::array{
    field("nElementosLeidos", V::Long),
    sub("S_Lee_Tira_1", kLeeTira1),
    sub("S_LeeTira", kLeeTira),
    function("S_Sp", V::Text, kSp),
    function("S_Extrae_Nomb_sin_Ext", V::Text, kRuta),
    function("S_Extrae_Nombre_de_Ruta", V::Text, kRuta),
    function("S_Extrae_Ruta_de_Nombre", V::Text, kRuta),
    function("S_Extrae_Exten_de_NomRut", V::Text, kRuta),
    function("S_CxP", V::Text, kValorRef),
    function("S_PxC", V::Text, kValorRef),
    function("S_CofReg_coma", V::Boolean, {}),
    function("S_Val", V::Double, kValorByVal),
    function("S_Vl", V::Double, kValorByVal),
    function("S_redondea", V::Double, kRedondea),
    function("S_FM", V::Text, kFM),
});
} // namespace

constexpr ClassInfo CString{"CString", Creation::Global, kMembers, &create<Unbuilt, CString>, &shared<Unbuilt, CString>};

} // namespace Kor2_Sys::classes
