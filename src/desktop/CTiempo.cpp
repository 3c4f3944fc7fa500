#include <Kor2_Sys/CTiempo.h>

#include "frame/Locale.h"
#include "frame/NumberText.h"
#include "frame/Trap.h"
#include "platform/Clock.h"

#include <cstdint>
#include <limits>
#include <string>

namespace Kor2_Sys {
namespace {

// The tick is kept as a signed number: past about 24.8 days of uptime it reads negative, and a
// span across that moment does not fit the difference (error 6 below).
Long tick()
{
    return static_cast<Long>(platform::clock().tickCount());
}

using numtext::digits;

// "0.000" of a count of thousandths, with the regional decimal separator: whole digits without
// grouping, then always three decimals.
Text thousandths(std::int64_t count)
{
    Text decimals = digits(1000 + count % 1000);
    decimals[0] = locale::decimalSeparator();
    return digits(count / 1000) + decimals;
}

// Under ten seconds the minutes are written as 0, however close to a minute's share they are.
constexpr Long kShortestMinutes = 10000;

} // namespace

void CTiempo::Pausa(const Long& Tiempo)
{
    if (Tiempo >= 0)
        platform::clock().sleep(Tiempo);
}

void CTiempo::T_IniciaReloj()
{
    trap::report(u".T_ini", [&] { m_start = tick(); });
}

void CTiempo::T_ParaReloj()
{
    trap::report(u".T_para", [&] { m_stop = tick(); });
}

Text CTiempo::T_TiempoTranscurrido(const Kor2_Sys::Tiempo& Tipo)
{
    if (m_stop == 0)
        T_ParaReloj();
    std::int64_t elapsed = std::int64_t{m_stop} - m_start;
    if (elapsed > std::numeric_limits<Long>::max() || elapsed < std::numeric_limits<Long>::min())
        throw errors::overflow();
    if (elapsed < 0)
        elapsed = 0;

    switch (Tipo) {
    case Tiempo::Milisegundos: return digits(elapsed);
    case Tiempo::Segundos: return thousandths(elapsed);
    // Thousandths of a minute are milliseconds / 60, a half rounded up; whole numbers keep the
    // halves exact where a binary fraction would not.
    case Tiempo::minutos: return thousandths(elapsed >= kShortestMinutes ? (elapsed + 30) / 60 : 0);
    }
    return {};
}

Long CTiempo::T_tiempo()
{
    Long result = 0;
    trap::report(u".T_tiempo", [&] { result = tick(); });
    return result;
}

template <> CTiempo& global<CTiempo>()
{
    static CTiempo instance;
    return instance;
}

} // namespace Kor2_Sys
