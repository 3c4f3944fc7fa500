#pragma once
/// \file CTiempo.h
/// A millisecond stopwatch on the system's tick count, a blocking pause and the raw tick.
/// A global class: free calls share one start and one stop.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The unit `CTiempo::T_TiempoTranscurrido` writes the elapsed time in. Other values are allowed
/// and give the empty text.
enum class Tiempo : Long {
    Milisegundos = 0,
    Segundos = 1,
    minutos = 2,
};

/// A millisecond stopwatch, a pause and the system's tick.
class KOR2_SYS_EXPORT CTiempo {
public:
    /// Blocks the calling thread for `Tiempo` milliseconds (window events do not run meanwhile);
    /// a negative time returns at once.
    void Pausa(const Long& Tiempo);
    /// Starts the watch: the start tick is now. The stop tick stays as it is.
    void T_IniciaReloj();
    /// Stops the watch: the stop tick is now.
    void T_ParaReloj();
    /// The time from start to stop (stopping the watch first when it was never stopped): whole
    /// milliseconds, or seconds or minutes written "0.000" with the regional decimal separator;
    /// a negative time is 0. A span that crosses the tick's pass from 2147483647 to
    /// -2147483648 is error 6, raised to the caller.
    Text T_TiempoTranscurrido(const Kor2_Sys::Tiempo& Tipo = Kor2_Sys::Tiempo::Milisegundos);
    /// The system's tick count read as a signed number.
    Long T_tiempo();

private:
    Long m_start = 0;
    Long m_stop = 0;  ///< 0: not stopped
};

/// The shared instance that free calls use: `global<CTiempo>().Member(...)`.
template <> KOR2_SYS_EXPORT CTiempo& global<CTiempo>();

} // namespace Kor2_Sys
