# toolchain-mingw-w64-x86_64.cmake - cross build for 64-bit Windows with MinGW-w64.
#
# The -posix variants of the compilers are used because GoogleTest and the
# standard library's threading support (std::mutex) need the posix thread model.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OSTREVIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OSTREVIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OSTREVIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OSTREVIN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OSTREVIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is linked statically so that it starts on a Windows machine
# that has no MinGW runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

