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

# Adds a test program built from the given sources, with the tests' shared
# main (tests/Support/TestMain.cpp), which first puts the program in the same
# environment on every machine.
#   LABELS       lets CI pick the tests that matter for a sanitizer
#                (e.g. "concurrency" for TSan)
#   GTK          the program opens GTK itself: it draws as the shipped programs do
#   DISPLAY      runs on a private X display (Xvfb) and session bus
#   SESSION_BUS  runs on a private session bus (no display)
#   ENVIRONMENT  more NAME=VALUE pairs for ctest to set
function(tarvelo_add_test name)
  cmake_parse_arguments(ARG "GTK;DISPLAY;SESSION_BUS" "TIMEOUT" "SOURCES;LIBRARIES;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GTK)
    set(main TarveloGtkTestMain)
  else()
    set(main TarveloTestMain)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} ${main} GTest::gtest GTest::gmock tarvelo_build_flags)
  if(ARG_DISPLAY)
    add_test(NAME ${name}
      COMMAND dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${name}>)
  elseif(ARG_SESSION_BUS)
    add_test(NAME ${name} COMMAND dbus-run-session -- $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if("concurrency" IN_LIST ARG_LABELS)
    add_dependencies(concurrency-tests ${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "TARVELO_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};GTEST_COLOR=0;${ARG_ENVIRONMENT}")
endfunction()
