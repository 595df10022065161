# The widget host on the desktop beside a bare gtkmm window and gsimplecal;
# run it through bench/widget-host.sh (Xvfb and a session bus).
add_executable(bare-gtk-window bare-gtk-window.cpp)
target_link_libraries(bare-gtk-window PRIVATE PkgConfig::GTKMM tarvelo_build_flags)
pkg_check_modules(BENCH_X11 REQUIRED IMPORTED_TARGET x11 xtst xdamage)
tarvelo_add_benchmark(widget-desktop-bench
  SOURCES widget-desktop-bench.cpp
  LIBRARIES PlatformWidgetHost PkgConfig::BENCH_X11)
target_compile_definitions(widget-desktop-bench PRIVATE
  TARVELO_BARE_WINDOW="$<TARGET_FILE:bare-gtk-window>"
  TARVELO_WIDGETS_PROGRAM="$<TARGET_FILE:tarvelo-widgets>")
add_dependencies(widget-desktop-bench bare-gtk-window tarvelo-widgets TarveloWidget)
