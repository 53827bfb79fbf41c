# GoogleTest from the sources that Debian's googletest package installs; they build with
# the host compiler and with mingw-w64 alike.
set(TERN7_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${TERN7_GOOGLETEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found at ${TERN7_GOOGLETEST_SOURCE}: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TERN7_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)
# Its sources are not ours to fix; a compiler that warns about them must not stop the build.
foreach(target gtest gtest_main gmock gmock_main)
    if(TARGET ${target})
        set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
    endif()
endforeach()

# Test code is built without optimisation: it is compiled far more often than it runs.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(TERN7_TEST_COMPILE_OPTIONS -O0)
endif()
target_compile_options(gtest PRIVATE ${TERN7_TEST_COMPILE_OPTIONS})
target_compile_options(gtest_main PRIVATE ${TERN7_TEST_COMPILE_OPTIONS})
# Under the sanitizers, GoogleTest itself is left unchecked: the checks are for our code,
# and instrumenting its sources doubled their compile time.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    target_compile_options(gtest PRIVATE -fno-sanitize=all)
    target_compile_options(gtest_main PRIVATE -fno-sanitize=all)
endif()

# Every test program parses GoogleTest and the system headers; parsing them once for all
# of them halves the build of the tests. tern7_use_test_pch(DIR) gives the precompiled
# header to each target under DIR that links GoogleTest.
add_library(tern7_test_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/Precompiled.cpp)
target_link_libraries(tern7_test_pch PRIVATE gtest)
target_compile_options(tern7_test_pch PRIVATE ${TERN7_TEST_COMPILE_OPTIONS})
target_precompile_headers(tern7_test_pch PRIVATE
    <gtest/gtest.h> <algorithm> <functional> <memory> <optional> <string> <string_view> <vector>
    "$<$<BOOL:${WIN32}>:<windows.h$<ANGLE-R>>")

function(tern7_use_test_pch directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(links ${target} LINK_LIBRARIES)
        if(type MATCHES "EXECUTABLE|STATIC_LIBRARY" AND links MATCHES "gtest|test_support")
            target_precompile_headers(${target} REUSE_FROM tern7_test_pch)
            # Test sources compile in batches: the framework's templates once a batch, not
            # once a file, a third of the time. Their helpers need names of their own.
            set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
            target_compile_options(${target} PRIVATE ${TERN7_TEST_COMPILE_OPTIONS})
        endif()
    endforeach()
    get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(child IN LISTS children)
        tern7_use_test_pch(${child})
    endforeach()
endfunction()
