# The Windows build (cmake --preset win64 or win32, or the cross builds of the default
# preset): only the bridge program vornal-jvlink.exe, the protocol loop with the component
# backend. No Qt, no fmt, no core library; statically linked (see the toolchain files).
add_executable(vornal-jvlink
    ${PROJECT_SOURCE_DIR}/src/bridge/BridgeProtocol.cpp
    ${PROJECT_SOURCE_DIR}/src/bridge/BridgeLoop.cpp
    ${PROJECT_SOURCE_DIR}/src/bridge/ComBackend.cpp
    ${PROJECT_SOURCE_DIR}/src/jvlink/main.cpp)
target_include_directories(vornal-jvlink PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vornal-jvlink PRIVATE ole32 oleaut32 uuid)

# The stand-in component the Wine tests register under the component's ProgID.
option(VORNAL_STANDIN "Build the stand-in component for the tests under Wine" OFF)
if(VORNAL_STANDIN)
    add_library(jvstandin SHARED ${PROJECT_SOURCE_DIR}/tests/wine/standin/StandInComponent.cpp
                                 ${PROJECT_SOURCE_DIR}/tests/wine/standin/StandInComponent.def)
    set_target_properties(jvstandin PROPERTIES PREFIX "")
    target_link_libraries(jvstandin PRIVATE ole32 oleaut32 uuid)
    # COM interfaces have no virtual destructor: objects delete themselves in Release.
    target_compile_options(jvstandin PRIVATE -Wno-non-virtual-dtor)
    # The exports keep their plain names in the 32-bit build (stdcall decorates them).
    target_link_options(jvstandin PRIVATE -Wl,--enable-stdcall-fixup)
endif()
