# The whole system beside its peers in one run; bench/run-all starts it under
# a session bus and Xvfb (see bench/README.md). Not a Google Benchmark
# program: it times whole processes from the display server's events.
add_executable(run-all-driver ${CMAKE_CURRENT_LIST_DIR}/whole-system/RunAllDriver.cpp)
target_link_libraries(run-all-driver PRIVATE PlatformWidgetHost PkgConfig::BENCH_X11 PkgConfig::GIO_UNIX
  tarvelo_build_flags)
target_compile_definitions(run-all-driver PRIVATE
  TARVELO_PROGRAM="$<TARGET_FILE:tarvelo>"
  TARVELO_WIDGETS_PROGRAM="$<TARGET_FILE:tarvelo-widgets>"
  TARVELO_BARE_WINDOW="$<TARGET_FILE:bare-gtk-window>"
  TARVELO_BENCH_CALENDAR="$<TARGET_FILE:recording-calendar>"
  TARVELO_BENCH_BARE_APPLICATION="$<TARGET_FILE:bare-gtkmm-application>"
  TARVELO_WINDOW_PROBE="$<TARGET_FILE:tarvelo-window-probe>"
  BARE_WINDOW_PROBE="$<TARGET_FILE:bare-window-probe>"
  TARVELO_WIDGET_PICTURE_BENCH="$<TARGET_FILE:widget-picture-bench>")
add_dependencies(run-all-driver tarvelo tarvelo-widgets TarveloWidget bare-gtk-window recording-calendar
  bare-gtkmm-application tarvelo-window-probe bare-window-probe widget-picture-bench)

# The soak: many widget steps and date links, memory and leaks watched;
# bench/soak starts it (see bench/README.md).
add_executable(soak-driver ${CMAKE_CURRENT_LIST_DIR}/whole-system/SoakDriver.cpp)
target_link_libraries(soak-driver PRIVATE PlatformWidgetHost PkgConfig::BENCH_X11 PkgConfig::GIO_UNIX
  tarvelo_build_flags)
target_compile_definitions(soak-driver PRIVATE
  TARVELO_PROGRAM="$<TARGET_FILE:tarvelo>"
  TARVELO_WIDGETS_PROGRAM="$<TARGET_FILE:tarvelo-widgets>"
  TARVELO_BENCH_CALENDAR="$<TARGET_FILE:recording-calendar>")
add_dependencies(soak-driver tarvelo tarvelo-widgets TarveloWidget recording-calendar)
