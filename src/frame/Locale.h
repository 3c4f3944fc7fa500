#pragma once
// The regional number settings. Every conversion between numbers and regional text asks this
// seam, so that tests and the command line can run under either decimal separator.

namespace Kor2_Sys::locale {

/// The regional decimal separator: ',' or '.'. Defaults to the process's LC_NUMERIC setting.
char16_t decimalSeparator();
/// Replaces the regional decimal separator for the whole process; returns the previous one.
char16_t setDecimalSeparator(char16_t separator);

/// The separator the user's regional settings name (the platform's own part of this seam).
char16_t regionalSeparator();

/// Sets the decimal separator for the guard's lifetime (tests, one command-line run).
class ScopedDecimal {
public:
    explicit ScopedDecimal(char16_t separator) : m_previous(setDecimalSeparator(separator)) {}
    ~ScopedDecimal() { setDecimalSeparator(m_previous); }
    ScopedDecimal(const ScopedDecimal&) = delete;
    ScopedDecimal& operator=(const ScopedDecimal&) = delete;

private:
    char16_t m_previous;
};

} // namespace Kor2_Sys::locale
