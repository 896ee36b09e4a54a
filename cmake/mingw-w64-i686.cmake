# Cross-builds the 32-bit Windows bridge with Debian's mingw-w64 (posix threads): the
# component ships as a 32-bit in-process server, which only a 32-bit process can load.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VORNAL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
