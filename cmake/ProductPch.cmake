# Precompiled headers of the programs and libraries. Most of the time of compiling one of
# their unity batches went into parsing <windows.h> and the standard library; with these
# they are parsed twice a build instead of once a batch. The portable logic (the *_logic
# targets, and everything on the host) gets the standard library only, so that it never
# sees <windows.h>; the Win32 code gets both.
set(TERN7_STD_HEADERS <algorithm> <array> <cstddef> <cstdint> <memory> <mutex> <optional> <span> <string>
                      <string_view> <vector>)
add_library(tern7_logic_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/Precompiled.cpp)
target_precompile_headers(tern7_logic_pch PRIVATE ${TERN7_STD_HEADERS})
if(WIN32)
    add_library(tern7_win32_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/Precompiled.cpp)
    target_precompile_headers(tern7_win32_pch PRIVATE <windows.h> ${TERN7_STD_HEADERS})
endif()

# Gives every program and library under DIRECTORY that has no precompiled header yet (the
# test programs have theirs) the one that suits it.
function(tern7_use_product_pch directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(reused ${target} PRECOMPILE_HEADERS_REUSE_FROM)
        if(NOT type MATCHES "EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY" OR reused)
            continue()
        endif()
        if(WIN32 AND NOT target MATCHES "_logic$")
            target_precompile_headers(${target} REUSE_FROM tern7_win32_pch)
        else()
            target_precompile_headers(${target} REUSE_FROM tern7_logic_pch)
        endif()
    endforeach()
    get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(child IN LISTS children)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${child}" ours)
        if(ours)
            tern7_use_product_pch(${child})
        endif()
    endforeach()
endfunction()
