# Windows build settings, and the Wine session that runs the Windows tests when the build
# is a cross build: a ctest fixture (cmake/wine-session.sh) starts it before the first
# Windows test and stops it after the last.

# Every Windows target: the wide-character API, Windows 7 and later, no min/max macros.
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)

# Everything that ships goes to one folder, the one a user copies to a PC.
set(TERN7_DIST_DIR "${CMAKE_BINARY_DIR}/dist")

if(CMAKE_CROSSCOMPILING)
    set(TERN7_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
    set(TERN7_SOURCE_DIR "${CMAKE_SOURCE_DIR}")
    configure_file(cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

    add_test(NAME wine.session.start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh start ${TERN7_WINE_STATE})
    add_test(NAME wine.session.stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh stop ${TERN7_WINE_STATE})
    set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# Registers every TEST() of a Windows test program with ctest, each run on its own (under
# Wine on a cross build). Source scanning needs no Wine at build time. Tests that change
# what the whole session shares name a RESOURCE_LOCK.
function(tern7_add_wine_tests target)
    cmake_parse_arguments(ARG "" "" "RESOURCE_LOCK" ${ARGN})
    gtest_add_tests(TARGET ${target} TEST_PREFIX "${target}." TEST_LIST tests)
    set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 60)
    if(ARG_RESOURCE_LOCK)
        set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
    endif()
endfunction()

# A program whose entry point is wWinMain or wmain (mingw needs to be told).
function(tern7_unicode_entry target)
    if(MINGW)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()

# A GUI program installed in the dist folder.
function(tern7_gui_program target)
    tern7_unicode_entry(${target})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TERN7_DIST_DIR})
endfunction()

# The version of everything shipped, in the four-part form of version resources.
set(TERN7_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
if(DEFINED PROJECT_VERSION_PATCH AND NOT PROJECT_VERSION_PATCH STREQUAL "")
    set(TERN7_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
endif()

# Gives a shipped program or library its version resource, generated from the project
# version so that every file and the setup carry the same number.
function(tern7_version_info target description)
    set(TERN7_FILE_DESCRIPTION "${description}")
    set(TERN7_VERSION_DOTS "${TERN7_VERSION}")
    string(REPLACE "." "," TERN7_VERSION_COMMAS "${TERN7_VERSION}")
    get_target_property(type ${target} TYPE)
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    if(type STREQUAL "SHARED_LIBRARY")
        set(TERN7_FILE_TYPE VFT_DLL)
        set(TERN7_ORIGINAL_FILENAME "${name}.dll")
    else()
        set(TERN7_FILE_TYPE VFT_APP)
        set(TERN7_ORIGINAL_FILENAME "${name}.exe")
    endif()
    set(TERN7_INTERNAL_NAME "${name}")
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
