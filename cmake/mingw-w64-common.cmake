# What both mingw-w64 toolchain files share; VORNAL_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${VORNAL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNAL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORNAL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VORNAL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One .exe that runs on a bare Windows: the C and C++ runtimes and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
