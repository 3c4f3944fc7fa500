# 64-bit Windows: the DLL 64-bit hosts load.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KOR2_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
