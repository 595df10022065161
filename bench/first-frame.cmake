# The onboarding window's first frame beside a bare gtkmm window showing a
# comparable scrolled page; the probes are started by the benchmark, which
# needs a display (run it under xvfb-run and dbus-run-session).
add_executable(tarvelo-window-probe first-frame/tarvelo-window-probe.cpp ${PROJECT_SOURCE_DIR}/Tarvelo/HostWindow.cpp)
target_link_libraries(tarvelo-window-probe PRIVATE TarveloOnboarding PlatformLocalization PlatformResources
  PlatformDefaults tarvelo_build_flags)
# In bin/, beside `tarvelo`, so that it finds the pictures the same way.
tarvelo_program(tarvelo-window-probe bin)
add_dependencies(tarvelo-window-probe tarvelo-previews)

add_executable(bare-window-probe first-frame/bare-window-probe.cpp)
target_link_libraries(bare-window-probe PRIVATE PkgConfig::GTKMM tarvelo_build_flags)
target_compile_definitions(bare-window-probe PRIVATE TARVELO_RESOURCES_FOLDER="${TARVELO_RESOURCES_FOLDER}")
tarvelo_program(bare-window-probe bin)

tarvelo_add_benchmark(first-frame-bench SOURCES first-frame/first-frame-bench.cpp)
target_compile_definitions(first-frame-bench PRIVATE
  TARVELO_WINDOW_PROBE="$<TARGET_FILE:tarvelo-window-probe>" BARE_WINDOW_PROBE="$<TARGET_FILE:bare-window-probe>")
add_dependencies(first-frame-bench tarvelo-window-probe bare-window-probe)
