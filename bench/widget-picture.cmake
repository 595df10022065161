# Building, laying out and painting one medium widget at scale 2, beside a
# bare Cairo + Pango drawing of the same title and 42 numbers.
tarvelo_add_benchmark(widget-picture-bench
  SOURCES widget-picture-bench.cpp
  LIBRARIES TarveloWidgetCore PlatformPainter PkgConfig::PANGOCAIRO)
