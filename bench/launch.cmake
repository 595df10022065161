# The launch benchmark: a date link to the calendar program, against a bare
# gtkmm start and quit. Not a Google Benchmark program: it times whole
# processes and needs a session bus and a display, so bench/launch-bench
# runs it (see bench/README.md).
add_executable(launch-driver ${CMAKE_CURRENT_LIST_DIR}/launch/LaunchDriver.cpp)
target_link_libraries(launch-driver PRIVATE PkgConfig::GIO_UNIX tarvelo_build_flags)
target_compile_definitions(launch-driver PRIVATE
  TARVELO_PROGRAM="$<TARGET_FILE:tarvelo>"
  TARVELO_BENCH_CALENDAR="$<TARGET_FILE:recording-calendar>"
  TARVELO_BENCH_BARE_APPLICATION="$<TARGET_FILE:bare-gtkmm-application>")
add_dependencies(launch-driver tarvelo recording-calendar bare-gtkmm-application)

add_executable(recording-calendar ${CMAKE_CURRENT_LIST_DIR}/launch/RecordingCalendar.cpp)
target_link_libraries(recording-calendar PRIVATE tarvelo_build_flags)

add_executable(bare-gtkmm-application ${CMAKE_CURRENT_LIST_DIR}/launch/BareGtkmmApp.cpp)
target_link_libraries(bare-gtkmm-application PRIVATE PkgConfig::GTKMM tarvelo_build_flags)
