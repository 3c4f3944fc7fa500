# Fails when Doxygen left warnings (an undocumented public symbol, a broken reference) while writing
# the API reference; prints them.
if(NOT EXISTS "${LOG}")
  message(FATAL_ERROR "no Doxygen log at ${LOG}: build the docs target first")
endif()
file(READ "${LOG}" warnings)
if(NOT warnings STREQUAL "")
  message(FATAL_ERROR "the API reference has warnings:\n${warnings}")
endif()
