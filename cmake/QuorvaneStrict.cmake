# One interface target carries the language standard, the warnings and the
# sanitizer options; every target of the project links it.
add_library(quorvane_strict INTERFACE)
target_compile_features(quorvane_strict INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(quorvane_strict INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(quorvane_strict INTERFACE _FILE_OFFSET_BITS=64)

# CI builds with this on, so a warning fails the build there; it stays off by
# default so that a newer compiler's new warnings do not stop a user's build.
option(QUORVANE_WERROR "Treat compiler warnings as errors" OFF)
if(QUORVANE_WERROR)
  target_compile_options(quorvane_strict INTERFACE -Werror)
endif()
# GCC 12 at -O3 (Release) reports overlapping copies inside std::string's operator+ and
# replace that cannot happen (a known false positive of that release); with
# -Werror it stops Release builds of ordinary string code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(quorvane_strict INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()

if(QUORVANE_SANITIZE)
  target_compile_options(quorvane_strict INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quorvane_strict INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz targets' build instruments everything it compiles for coverage and
# checks memory with AddressSanitizer; the targets themselves link libFuzzer.
if(QUORVANE_BUILD_FUZZ)
  target_compile_options(quorvane_strict INTERFACE
    -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
  target_link_options(quorvane_strict INTERFACE -fsanitize=address)
endif()
