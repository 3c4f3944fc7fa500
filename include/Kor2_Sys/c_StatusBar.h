#pragma once
/// \file c_StatusBar.h
/// Shows one of the host's progress bars inside one part of one of its status bars, covering the
/// part exactly, and gives it back to its form, hidden. A creatable class.

#include <Kor2_Sys/Object.h>

#include <memory>

namespace Kor2_Sys {

/// A progress bar shown inside a part of a status bar.
class KOR2_SYS_EXPORT c_StatusBar {
public:
    /// With `bShowProgressBar` true: keeps `Form1` and `ProgressBar1`, makes the bar a child of
    /// `StatusBar1` covering its part `Panel` (from 0), shows it and sets its `Value` to 0. With
    /// false: makes the kept bar a child of the kept form again and hides it, without moving it.
    /// The host objects travel as variants holding object references; whatever step fails (a
    /// member the object lacks, a value that is no object) is skipped without a word.
    void Progreso(const Variant& Form1, const Variant& ProgressBar1, const Variant& StatusBar1, const Integer& Panel,
                  Boolean bShowProgressBar = false);
    /// Does nothing at all.
    void ShowProgressInStatusBar(const Variant& Form1, const Variant& ProgressBar1, const Variant& StatusBar1,
                                 const Integer& Panel);

private:
    Variant m_form;
    Variant m_progressBar;
};

} // namespace Kor2_Sys
