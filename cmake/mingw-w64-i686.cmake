# 32-bit Windows: the DLL 32-bit hosts load (a process loads only an in-process server of its own
# width).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KOR2_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
