# Cross build for Windows with mingw-w64, for the triple the architecture's toolchain file sets. The
# posix thread model is needed: the library uses std::mutex and std::thread::id, which the win32
# model of this toolchain lacks.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_CXX_COMPILER NAMES ${KOR2_MINGW_TRIPLE}-g++-posix ${KOR2_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${KOR2_MINGW_TRIPLE}-gcc-posix ${KOR2_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KOR2_MINGW_TRIPLE}-windres windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KOR2_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ run-time goes into each module: a host loads the DLL from any folder, with no mingw
# run-time beside it.
set(CMAKE_CXX_STANDARD_LIBRARIES "-static-libgcc -static-libstdc++ -Wl,-Bstatic -lwinpthread -Wl,-Bdynamic"
    CACHE STRING "" FORCE)
