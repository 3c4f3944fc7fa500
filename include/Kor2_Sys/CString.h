#pragma once
/// \file CString.h
/// Text and number utilities: list texts split into items, column layout, path splitting, and
/// numbers read and written independently of the machine's decimal separator. A global class.
///
/// Positions inside texts are 16-bit: the list split handles texts of up to 32,766 units, the path
/// members up to 32,767, and a separator searched beyond position 32,767 makes the member give its
/// empty result instead.

#include <Kor2_Sys/Object.h>

#include <vector>

namespace Kor2_Sys {

/// Text and number utilities, independent of the machine's decimal separator.
class KOR2_SYS_EXPORT CString {
public:
    /// Number of items found by the most recent split (shared by free calls to the global instance).
    Long nElementosLeidos = 0;

    /// Splits a copy of `Tira` (never changed) into `Elementos` and hands the count back in
    /// `nElementos`. A text of blanks only gives 0 and leaves `Elementos` as it was.
    void S_Lee_Tira_1(const Text& Tira, Long& nElementos, std::vector<Text>& Elementos);
    /// Splits a list text: items separated by blanks or a comma, each further comma of a run adding
    /// an empty item, an item between double quotes kept whole. `Elementos` becomes index 0 (always
    /// empty) followed by the items; a non-empty `Tira` comes back with one blank appended.
    void S_LeeTira(Text& Tira, std::vector<Text>& Elementos);
    /// Right-aligns the text form of `Valor` in `Longitud` characters (never cutting) and makes its
    /// first character a blank. Empty text for a null value or an empty text with no width.
    Text S_Sp(const Variant& Valor, const Integer& Longitud);

    /// File name without its extension; empty when the name has no point or more than three
    /// characters follow its first point.
    Text S_Extrae_Nomb_sin_Ext(const Text& rutayarchivo);
    /// The part after the last backslash (the whole text when there is none).
    Text S_Extrae_Nombre_de_Ruta(const Text& rutayarchivo);
    /// The part before the last backslash (the whole text when there is none).
    Text S_Extrae_Ruta_de_Nombre(const Text& rutayarchivo);
    /// What follows the first point of the whole path, when it is at most three characters.
    Text S_Extrae_Exten_de_NomRut(const Text& rutayarchivo);

    /// Overwrites the first comma of `Valor` with a point, in the caller's variable; returns it.
    Text S_CxP(Text& Valor);
    /// Overwrites the first point of `Valor` with a comma, in the caller's variable; returns it.
    Text S_PxC(Text& Valor);
    /// Whether the regional decimal separator is not the point.
    Boolean S_CofReg_coma();
    /// Number of a text written with a comma or a point ("3,5", "-2,5e2", "&H1F", "7 kg"); 0 when
    /// nothing reads as a number.
    Double S_Val(Text Valor);
    /// The same reading as `S_Val`.
    Double S_Vl(Text Valor);
    /// Rounds to `Decimales` decimals (negative: tens, hundreds...), halves towards plus infinity.
    Double S_redondea(const Double& Numero, const Integer& Decimales);
    /// Fixed decimals with a point whatever the regional separator (at most 15); `Enteros` > 0
    /// right-aligns the integer part in that many characters.
    Text S_FM(const Variant& Valor, const Integer& Decimales, const Integer& Enteros = 0);
};

/// The shared instance that free calls use: `global<CString>().Member(...)`.
template <> KOR2_SYS_EXPORT CString& global<CString>();

} // namespace Kor2_Sys
