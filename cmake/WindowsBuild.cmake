# Windows build settings, and the Wine session that runs the Windows tests when the build
# is a cross build: a ctest fixture (cmake/wine-session.sh) starts it before the first
# Windows test and stops it after the last.

# Every Windows target: the wide-character API, Windows 7 and later, no min/max macros.
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)
# mingw-w64's C library functions are called, not inlined from its headers: from a
# precompiled header GCC no longer sees their inline bodies as system code and reports a
# false -Warray-bounds in wmemcpy wherever a std::wstring is built from a short literal.
add_compile_definitions(__CRT__NO_INLINE)

# On a cross build, programs and libraries link on lld where it is installed
# (cmake/lld-link.sh): GNU ld takes seconds for each statically linked program, lld a
# tenth of one.
if(CMAKE_CROSSCOMPILING AND MINGW)
    find_program(TERN7_LLD ld.lld)
endif()
if(TERN7_LLD)
    foreach(lang C CXX)
        foreach(rule LINK_EXECUTABLE CREATE_SHARED_LIBRARY CREATE_SHARED_MODULE)
            set(CMAKE_${lang}_${rule} "${CMAKE_CURRENT_LIST_DIR}/lld-link.sh ${CMAKE_${lang}_${rule}}")
        endforeach()
    endforeach()
endif()

# Everything that ships goes to one folder, the one a user copies to a PC.
set(TERN7_DIST_DIR "${CMAKE_BINARY_DIR}/dist")
# The virtual mouse, a test double, to a folder of its own: its drivers, their .inf and its
# control tool.
set(TERN7_VIRTUAL_MOUSE_DIR "${CMAKE_BINARY_DIR}/virtualmouse")

if(CMAKE_CROSSCOMPILING)
    set(TERN7_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
    # Built by tests/windows; the session starts it to hold its desktop open.
    set(TERN7_DESKTOP_KEEPER "${CMAKE_BINARY_DIR}/desktop_keeper.exe")
    set(TERN7_SOURCE_DIR "${CMAKE_SOURCE_DIR}")
    configure_file(cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

    # Sessions side by side, each with its own desktop, registry, mutexes and windows. A
    # test that takes a whole session is given a free one by ctest: each session is one
    # slot of the resource "sessions" (wine-sessions.json, which the test preset names).
    # Tests that take none run in the first session, beside whatever runs there.
    set(TERN7_WINE_SESSIONS wine wine2 wine3 wine4)
    set(slots)
    foreach(session IN LISTS TERN7_WINE_SESSIONS)
        add_test(NAME ${session}.session.start
                 COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh start ${CMAKE_BINARY_DIR}/${session}
                         ${TERN7_DESKTOP_KEEPER} ${TERN7_VIRTUAL_MOUSE_DIR})
        add_test(NAME ${session}.session.stop
                 COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh stop ${CMAKE_BINARY_DIR}/${session})
        set_tests_properties(${session}.session.start PROPERTIES FIXTURES_SETUP ${session} TIMEOUT 300)
        set_tests_properties(${session}.session.stop PROPERTIES FIXTURES_CLEANUP ${session})
        list(APPEND slots "{ \"id\": \"${session}\", \"slots\": 1 }")
    endforeach()
    list(JOIN slots ", " slots)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-sessions.json
         CONTENT "{ \"version\": { \"major\": 1, \"minor\": 0 }, \"local\": [ { \"sessions\": [ ${slots} ] } ] }\n")
endif()

# Registers a Windows test program with ctest, one entry per test suite (under Wine on a
# cross build): one process a suite rather than one a test, since each Wine process costs
# a tenth of a second or more. Suites are found by scanning the sources for TEST, TEST_F
# and TEST_P, indented or not; a suite's tests share the process, so they leave no state
# behind for each other.
# Tests that change what the whole session shares take RESOURCE_LOCK session and run in a
# session of their own; another RESOURCE_LOCK name is a lock of that name. LONG names the
# suites that take tens of seconds.
function(tern7_add_wine_tests target)
    cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "LONG" ${ARGN})
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(suites)
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "\\.cpp$")
            continue()
        endif()
        if(NOT IS_ABSOLUTE "${source}")
            set(source "${source_dir}/${source}")
        endif()
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
        file(STRINGS "${source}" lines REGEX "^[ \t]*TEST(_F|_P)?\\(")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*TEST(_F|_P)?\\(([A-Za-z0-9_]+).*" "\\2" suite "${line}")
            list(APPEND suites ${suite})
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES suites)
    foreach(suite IN LISTS suites)
        # A parameterised suite's tests are named Instantiation/Suite.Test/N.
        add_test(NAME ${target}.${suite} COMMAND ${target} --gtest_filter=${suite}.*:*/${suite}.*)
        set_tests_properties(${target}.${suite} PROPERTIES TIMEOUT 120)
        if(ARG_RESOURCE_LOCK STREQUAL "session" AND CMAKE_CROSSCOMPILING)
            # TERN7_WHOLE_SESSION tells wine-run.sh, when ctest allocates no resources, to
            # wait until the first session is free.
            set_tests_properties(${target}.${suite} PROPERTIES
                RESOURCE_GROUPS sessions:1 FIXTURES_REQUIRED "${TERN7_WINE_SESSIONS}" ENVIRONMENT TERN7_WHOLE_SESSION=1)
        else()
            set_tests_properties(${target}.${suite} PROPERTIES FIXTURES_REQUIRED wine)
            if(ARG_RESOURCE_LOCK)
                set_tests_properties(${target}.${suite} PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
            endif()
        endif()
        # Until ctest has timed a run, it starts the costliest first: the long suites, then
        # those that take a whole session, so that none of them starts late and holds up
        # the end while the short ones could have filled the gaps.
        if(suite IN_LIST ARG_LONG)
            set_tests_properties(${target}.${suite} PROPERTIES COST 100)
        elseif(ARG_RESOURCE_LOCK STREQUAL "session")
            set_tests_properties(${target}.${suite} PROPERTIES COST 10)
        endif()
    endforeach()
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
