#pragma once
// The error-trap styles of the library's operations. These helpers are the only places that catch
// `Error`: an operation's first line says which style it uses.

#include "frame/Errors.h"

#include <new>
#include <string_view>

namespace Kor2_Sys::trap {

/// The text of the common error report: "ERROR en Kor_Sys.DLL Nº<number>", CR LF, one blank,
/// the description and the procedure tag directly after it.
Text reportText(const Error& error, std::u16string_view tag);
/// Shows a report text in a modal message box, OK only, no icon, the application title. When no
/// window system can be had the text goes to standard error instead: the report must not fail.
void showReport(const Text& text);

/// Where report texts are shown; it raises `Error` when it cannot show one.
using ReportSink = void (*)(const Text& text);
/// Installs the sink of `showReport` (null: standard error only). The window-system layer
/// installs its message box here, so the traps need not know that layer.
void setReportSink(ReportSink sink) noexcept;

/// Hands an absorbed failure of `operation` ("Class.Member") to the host's swallowed-error
/// handler (Diagnostics.h), if one is installed. Never throws.
void swallowed(std::string_view operation, const Error& error) noexcept;

/// Runs `fn`; a run-time error inside it goes to `onError`, and the caller continues normally.
template <class F, class OnError> void handle(F&& fn, OnError&& onError)
{
    try {
        fn();
    } catch (const Error& error) {
        onError(error);
    } catch (const std::bad_alloc&) {
        onError(errors::outOfMemory());
    }
}

/// Common error report: a run-time error shows the report with `tag`, then the operation returns
/// normally with its result as it stood.
template <class F> void report(std::u16string_view tag, F&& fn)
{
    handle(fn, [tag](const Error& error) { showReport(reportText(error, tag)); });
}

/// Silent trap: a run-time error ends the operation without a word to the user; the host's
/// swallowed-error handler learns of it under `operation` ("cRegistro.R_Grabar_un_dato_en_Win").
template <class F> void silent(std::string_view operation, F&& fn)
{
    handle(fn, [operation](const Error& error) { swallowed(operation, error); });
}

} // namespace Kor2_Sys::trap
