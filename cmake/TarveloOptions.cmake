# Build options, all under the TARVELO_ prefix.
option(TARVELO_BUILD_TESTS "Build the test suite" ON)
option(TARVELO_BUILD_BENCHMARKS "Build the Google Benchmark programs" ON)
option(TARVELO_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)
set(TARVELO_SANITIZE "" CACHE STRING "Sanitizers to build with: '', 'address' (ASan+UBSan) or 'thread' (TSan)")
set_property(CACHE TARVELO_SANITIZE PROPERTY STRINGS "" address thread)
option(TARVELO_BUILD_FUZZERS "Build the libFuzzer targets in fuzz/ (clang only; see docs/fuzzing.md)" OFF)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

# Interface target that carries the project's warning and sanitizer flags;
# every Tarvelo target links it.
add_library(tarvelo_build_flags INTERFACE)
target_compile_options(tarvelo_build_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(TARVELO_WERROR)
  target_compile_options(tarvelo_build_flags INTERFACE -Werror)
endif()

# Fuzzers find faults through the sanitizers and their coverage through
# instrumentation of every library they reach, so both go on everywhere.
if(TARVELO_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARVELO_BUILD_FUZZERS needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  if(TARVELO_SANITIZE STREQUAL "")
    set(TARVELO_SANITIZE address)
  elseif(NOT TARVELO_SANITIZE STREQUAL "address")
    message(FATAL_ERROR "TARVELO_BUILD_FUZZERS goes with TARVELO_SANITIZE=address only")
  endif()
  target_compile_options(tarvelo_build_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(TARVELO_SANITIZE STREQUAL "address")
  set(_tarvelo_sanitize_flags -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
elseif(TARVELO_SANITIZE STREQUAL "thread")
  set(_tarvelo_sanitize_flags -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT TARVELO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TARVELO_SANITIZE must be '', 'address' or 'thread'")
endif()
if(_tarvelo_sanitize_flags)
  target_compile_options(tarvelo_build_flags INTERFACE ${_tarvelo_sanitize_flags})
  target_link_options(tarvelo_build_flags INTERFACE ${_tarvelo_sanitize_flags})
endif()

# Where programs find their installed resources, relative to the binary, so
# an installed tree can be moved as a whole.
set(TARVELO_DATADIR_RELATIVE "../${CMAKE_INSTALL_DATADIR}/tarvelo")

# Programs are built where they will be installed relative to each other
# (bin/, libexec/tarvelo/, with share/ beside them), so a program finds its
# data the same way in the build tree and in an installed tree.
function(tarvelo_program target folder)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${folder})
endfunction()
