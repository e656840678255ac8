# Build options shared by every target of the project.

option(TSR_BUILD_TESTS "Build the tests" ON)
option(TSR_BUILD_BENCH "Build the benchmarks" ON)
set(TSR_SANITIZE "" CACHE STRING "Sanitizer build: empty, 'address' (AddressSanitizer + UBSan) or 'thread'")
set_property(CACHE TSR_SANITIZE PROPERTY STRINGS "" address thread)
option(TSR_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(TSR_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(TSR_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT TSR_SANITIZE STREQUAL "")
    message(FATAL_ERROR "TSR_SANITIZE must be empty, 'address' or 'thread'")
endif()

# The fuzz targets (tests/fuzz) and everything they link are instrumented for libFuzzer's
# coverage, with AddressSanitizer and UBSan; the targets themselves link libFuzzer.
if(TSR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TSR_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    if(NOT TSR_SANITIZE STREQUAL "")
        message(FATAL_ERROR "TSR_FUZZ brings its own sanitizers; leave TSR_SANITIZE empty")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(tsr_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual)
endfunction()
