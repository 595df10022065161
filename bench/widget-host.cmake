tarvelo_add_benchmark(widget-host-bench SOURCES WidgetHostBenchmark.cpp LIBRARIES PlatformWidgetHost PlatformPainter)
add_dependencies(widget-host-bench TarveloWidget)
set_target_properties(widget-host-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
