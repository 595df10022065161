# Date-link validation and the calendar-application catalog over a private
# desktop of thirty entries.
tarvelo_add_benchmark(date-link-bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DateLinkBenchmark.cpp
  LIBRARIES TarveloDateLinks TarveloCalendarChoice PlatformWorkspace)
target_include_directories(date-link-bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/Support)
