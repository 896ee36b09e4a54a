# vornal_core_module(name deps...): a static library of src/<name>/*.cpp that links the
# modules it builds on. A folder without sources yet becomes an empty interface library.
set(VORNAL_CORE_MODULES "" CACHE INTERNAL "")
# "name: dep dep ..." per module, for the test that checks each folder includes only what
# its module may use.
set(VORNAL_MODULE_DEPS "" CACHE INTERNAL "")

# vornal_module(name deps...): the same, without joining vornal_core (a tool beside the
# product, such as the sample generator).
function(vornal_module name)
    set(target vornal_${name})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
    set(deps "")
    foreach(dep IN LISTS ARGN)
        list(APPEND deps vornal_${dep})
    endforeach()
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} PUBLIC ${deps} fmt::fmt)
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} INTERFACE ${deps} fmt::fmt)
    endif()
    string(REPLACE ";" " " deplist "${ARGN}")
    set(VORNAL_MODULE_DEPS ${VORNAL_MODULE_DEPS} "${name}: ${deplist}" CACHE INTERNAL "")
endfunction()

function(vornal_core_module name)
    vornal_module(${name} ${ARGN})
    set(VORNAL_CORE_MODULES ${VORNAL_CORE_MODULES} vornal_${name} CACHE INTERNAL "")
endfunction()
