# Cross-builds vornal-jvlink.exe and the stand-in component for 64- and 32-bit Windows with
# mingw-w64 (scripts/bootstrap installs it), each in a build tree of its own under this one:
# win64/ and win32/. A missing cross compiler leaves its build out; the tests under Wine
# then skip and say why.
include(ExternalProject)
foreach(arch x86_64 i686)
    if(arch STREQUAL "x86_64")
        set(name win64)
    else()
        set(name win32)
    endif()
    find_program(VORNAL_MINGW_${name} ${arch}-w64-mingw32-g++-posix)
    if(NOT VORNAL_MINGW_${name})
        message(STATUS "No ${arch}-w64-mingw32-g++-posix: the ${name} bridge is not built")
        set(VORNAL_${name}_DIR "" CACHE INTERNAL "")
        continue()
    endif()
    # The sources are this project's own: the Windows configure builds only the bridge.
    ExternalProject_Add(bridge_${name}
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${PROJECT_BINARY_DIR}/${name}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-${arch}.cmake
                   -DCMAKE_BUILD_TYPE=Release -DVORNAL_WERROR=${VORNAL_WERROR} -DVORNAL_STANDIN=ON
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${PROJECT_BINARY_DIR}/${name}/vornal-jvlink.exe ${PROJECT_BINARY_DIR}/${name}/jvstandin.dll)
    set(VORNAL_${name}_DIR ${PROJECT_BINARY_DIR}/${name} CACHE INTERNAL "")
endforeach()
