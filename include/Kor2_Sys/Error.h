#pragma once
/// \file Error.h
/// The run-time error that library operations raise.

#include <Kor2_Sys/Value.h>

#include <exception>
#include <string>

namespace Kor2_Sys {

/// A run-time error: a number, its Spanish description and the text of its source.
/// Operations with an error trap absorb it; the others let it reach the caller.
class KOR2_SYS_EXPORT Error : public std::exception {
public:
    /// An error with this number, description and source.
    Error(Long number, Text description, Text source = u"Kor2_Sys");

    /// The error number (438, 13, ...).
    Long number() const noexcept { return m_number; }
    /// The Spanish description.
    const Text& description() const noexcept { return m_description; }
    /// What raised it: "Kor2_Sys" unless the raiser names itself.
    const Text& source() const noexcept { return m_source; }
    /// UTF-8 form of "number: description".
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Long m_number;
    Text m_description;
    Text m_source;
    std::string m_what;
};

} // namespace Kor2_Sys
