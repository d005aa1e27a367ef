# Helpers that declare the project's libraries, tools, tests and benchmarks alike.

# tarnby_library(NAME [SOURCES file...] DEPS target...)
# A static library of one subsystem; without SOURCES it takes every .cpp file of
# the calling folder. With no sources at all it is an interface library, so a
# subsystem can sit in the dependency chain before its code exists.
function(tarnby_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_SOURCES AND NOT "SOURCES" IN_LIST ARG_KEYWORDS_MISSING_VALUES)
        file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE tarnby_options)
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# tarnby_executable(NAME SOURCES file... DEPS target...)
# A program of the game: every one is listed in TARNBY_PROGRAMS, whose command
# lines (--help, --version, usage errors) one test checks together.
function(tarnby_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} tarnby_options)
    set_property(GLOBAL APPEND PROPERTY TARNBY_PROGRAMS ${name})
endfunction()

# tarnby_tests(SUBSYSTEM DEPS target...)
# One test program per *_test.cpp file in the calling folder, named
# SUBSYSTEM_<file>, linked with the libraries in DEPS (the subsystem under test),
# the shared test support and GoogleTest, and nothing else: a test that needs a
# writer or the frame PNGs links it itself with target_link_libraries.
function(tarnby_tests subsystem)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(source ${sources})
        get_filename_component(stem ${source} NAME_WE)
        set(target ${subsystem}_${stem})
        add_executable(${target} ${source})
        target_link_libraries(${target} PRIVATE ${ARG_DEPS} tarnby_test_support
                              GTest::gtest GTest::gtest_main tarnby_options)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    endforeach()
endfunction()

# tarnby_tool_library(NAME SOURCES file... DEPS target...)
# A library shared by the tools (bundle, shape and font writers, a tool's own
# work). The inspector and the benchmarks link every one; a test links the one
# it needs.
function(tarnby_tool_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE tarnby_options)
    set_property(GLOBAL APPEND PROPERTY TARNBY_TOOL_LIBS ${name})
endfunction()
