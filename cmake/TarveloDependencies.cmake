# Debian 12 packages: see the README's list and scripts/install-dependencies.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ICU 72 REQUIRED COMPONENTS uc i18n)
find_package(nlohmann_json 3.10 REQUIRED)

pkg_check_modules(GIOMM REQUIRED IMPORTED_TARGET giomm-2.68)
pkg_check_modules(GTKMM REQUIRED IMPORTED_TARGET gtkmm-4.0)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo)
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)
pkg_check_modules(GIO_UNIX REQUIRED IMPORTED_TARGET gio-unix-2.0)

if(TARVELO_BUILD_TESTS)
  find_package(GTest REQUIRED)
  # The tests that matter under ThreadSanitizer; CI builds only these there.
  add_custom_target(concurrency-tests)
endif()
if(TARVELO_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()

# Adds a test program built from the given sources; LABELS lets CI pick the
# tests that matter for a sanitizer (e.g. "concurrency" for TSan).
function(tarvelo_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main GTest::gmock tarvelo_build_flags)
  add_test(NAME ${name} COMMAND ${name})
  if("concurrency" IN_LIST ARG_LABELS)
    add_dependencies(concurrency-tests ${name})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}"
    ENVIRONMENT "TARVELO_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};GTEST_COLOR=0")
endfunction()
