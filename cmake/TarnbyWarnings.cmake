# Compiler warnings and sanitizer flags shared by every target of the project.
add_library(tarnby_options INTERFACE)
target_compile_options(tarnby_options INTERFACE -Wall -Wextra -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(tarnby_options INTERFACE -Wshadow=local)
endif()
if(TARNBY_WERROR)
    target_compile_options(tarnby_options INTERFACE -Werror)
endif()
if(TARNBY_SANITIZE)
    set(TARNBY_SAN_FLAGS -fsanitize=address,undefined,leak -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(tarnby_options INTERFACE ${TARNBY_SAN_FLAGS})
    target_link_options(tarnby_options INTERFACE ${TARNBY_SAN_FLAGS})
    # The landscape's portable ground blend is what ARM handhelds run; the
    # sanitizer suite takes it so that both it and the SSE2 blend are tested.
    target_compile_definitions(tarnby_options INTERFACE TARNBY_PORTABLE_BLEND)
endif()
if(TARNBY_FUZZ)
    # Instrument every library for coverage; the fuzz targets add the driver.
    target_compile_options(tarnby_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(tarnby_options INTERFACE -fsanitize=address,undefined)
endif()
