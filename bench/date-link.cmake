# Date-link validation and the calendar-application catalog over a private
# desktop of thirty entries.
tarvelo_add_benchmark(date-link-bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DateLinkBenchmark.cpp
  LIBRARIES TarveloDateLinks TarveloCalendarChoice PlatformWorkspace)
