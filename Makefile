# The two commands of the README, and a few more for developers.
#
#   make run    install what is missing, build, run Tarvelo
#   make test   install what is missing, build, run the whole test suite
#               (ASan+UBSan build), then the concurrency tests (TSan build),
#               then the widget picture's instruction budget (optimised build)
#   make lint   check every C++ file's format (.clang-format) and run
#               clang-tidy (.clang-tidy) over the sources
#   make fuzz   build the fuzz targets with clang and run each briefly
#               (FUZZ_SECONDS each, 30 by default)
#
# CI=true turns compiler warnings into errors.

BUILD        ?= build
BUILD_ASAN   ?= build-asan
BUILD_TSAN   ?= build-tsan
BUILD_FUZZ   ?= build-fuzz
BUILD_BENCH  ?= build-bench
FUZZ_SECONDS ?= 30
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR    := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
WERROR       := $(if $(filter true,$(CI)),ON,OFF)
CONFIGURE     = cmake -S . -G "$(GENERATOR)" -DTARVELO_WERROR=$(WERROR)

.PHONY: all deps deps-test deps-fuzz deps-bench deps-lint lint check-format build run test test-asan test-tsan test-budget bench fuzz package clean

all: build

# Each command installs what it needs (scripts/install-dependencies).
deps:
	@scripts/install-dependencies run
deps-test:
	@scripts/install-dependencies test
deps-fuzz:
	@scripts/install-dependencies fuzz
deps-bench:
	@scripts/install-dependencies bench
deps-lint:
	@scripts/install-dependencies lint

# The programs alone: tests and benchmarks have build folders of their own.
build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTARVELO_BUILD_TESTS=OFF -DTARVELO_BUILD_BENCHMARKS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run "$(BUILD)"

test: test-asan test-tsan test-budget

test-asan: deps-test
	@[ -f $(BUILD_ASAN)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug \
	    -DTARVELO_SANITIZE=address -DTARVELO_BUILD_BENCHMARKS=OFF
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

test-tsan: deps-test
	@[ -f $(BUILD_TSAN)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=Debug \
	    -DTARVELO_SANITIZE=thread -DTARVELO_BUILD_BENCHMARKS=OFF
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target concurrency-tests
	cd $(BUILD_TSAN) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    ctest --output-on-failure -L concurrency -j $(JOBS)

# The drawing path's guard: callgrind's count for one widget picture against
# bench/picture-budget (needs the optimised build, not a sanitizer's).
test-budget: deps-test
	@[ -f $(BUILD_BENCH)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target widget-picture-bench
	scripts/check-picture-budget $(BUILD_BENCH)

bench: deps-bench
	@[ -f $(BUILD_BENCH)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for program in $(BUILD_BENCH)/bench/*-bench; do echo "== $$program"; $$program; done

check-format: deps-lint
	scripts/check-format

# Format first (quick), then clang-tidy on the ASan build's compile commands
# (configured here if make test has not done it).
lint: deps-lint
	scripts/check-format
	@[ -f $(BUILD_ASAN)/CMakeCache.txt ] || $(CONFIGURE) -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug \
	    -DTARVELO_SANITIZE=address -DTARVELO_BUILD_BENCHMARKS=OFF
	JOBS=$(JOBS) scripts/run-clang-tidy $(BUILD_ASAN)

fuzz: deps-fuzz
	JOBS=$(JOBS) scripts/run-fuzzers -t $(FUZZ_SECONDS) -b $(BUILD_FUZZ)

# A Debian package in build-deb/ (installs under /usr, /etc/xdg/autostart).
package: deps
	@[ -f build-deb/CMakeCache.txt ] || $(CONFIGURE) -B build-deb -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_INSTALL_PREFIX=/usr -DTARVELO_BUILD_TESTS=OFF -DTARVELO_BUILD_BENCHMARKS=OFF
	cmake --build build-deb -j $(JOBS)
	cd build-deb && cpack -G DEB

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_BENCH) build-deb $(BUILD_FUZZ)
