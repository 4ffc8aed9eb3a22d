# Wraps the CMake presets. `make` builds for Linux and both Windows targets; `make test` installs
# what is missing, checks the formatting, builds everything and runs every test, natively, under
# the sanitizers and for 32-bit and 64-bit Windows.

# The stages of `make test` (below), the longest-waiting first.
TEST_STAGES = test-windows test-windows64 test-linux test-linux-asan

.PHONY: all packages linux linux-expected linux-tool linux-asan windows windows64 \
	test $(TEST_STAGES) format format-check \
	fuzz-build fuzz bench-build bench soak preview packages-preview install packages-install

JOBS ?= $(shell nproc)
# How many compilers a build runs at once. Under make test the builds share its jobs instead:
# each build's make takes them from make test's own (the + on its line hands them on). BACKGROUND
# is what runs the builds and the native tests there (below).
PARALLEL = --parallel $(JOBS)
BACKGROUND =
SOURCES = $(shell git ls-files '*.cpp' '*.h')

all: linux windows windows64

packages:
	@tools/install-packages.sh

# The preview tool needs only a compiler, CMake and libpng.
packages-preview:
	@tools/install-packages.sh preview

linux linux-asan windows windows64:
	cmake --preset $@ >/dev/null
	+$(BACKGROUND) cmake --build --preset $@ $(PARALLEL)

# Ahead of the rest of the native build: what the Wine tests compare with, and the tool the
# screenshots are taken with.
linux-expected:
	cmake --preset linux >/dev/null
	+$(BACKGROUND) cmake --build --preset linux $(PARALLEL) --target tintlet-expected-colors
linux-tool: linux-expected
	+$(BACKGROUND) cmake --build --preset linux $(PARALLEL) --target tintlet-preview man_page
linux: linux-tool

# The stages of `make test`, each a preset's build and then its tests, run side by side within
# four jobs, each one's output shown whole when it ends. The Wine tests, much of it waiting,
# start as early as they can and go on beside the builds: they compare with
# tintlet-expected-colors of the native build, the 64-bit release archive holds the 32-bit module
# too, and the 64-bit tests take the screenshots with the native tool. The builds and the
# native tests yield the processor to the Wine tests (nice): each Wine program kept waiting for it
# holds up the ones after it, and given it they end in half the time.
test: packages format-check
	@tools/i386-programs.sh
	@$(MAKE) --no-print-directory -j4 --output-sync=target PARALLEL= BACKGROUND="nice -n 10" \
		$(TEST_STAGES)

test-linux test-linux-asan: test-%: %
	$(BACKGROUND) ctest --preset $*
test-windows test-windows64: test-%: %
	ctest --preset $*
test-windows: linux-expected
test-windows64: linux-tool windows

format:
	clang-format -i $(SOURCES)

# Outside a checkout there is no list of sources, and clang-format would wait on its input.
format-check:
	@test -n "$(SOURCES)" || { echo "format-check: no tracked sources (not a git checkout?)" >&2; exit 1; }
	@clang-format --dry-run -Werror $(SOURCES)

# The fuzz targets (clang); `make fuzz` runs each for FUZZ_SECONDS and prints what it found.
FUZZ_SECONDS ?= 60
fuzz-build:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz --parallel $(JOBS)

fuzz: packages fuzz-build
	fuzz/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The reading-pass benchmark (optimised build): CPU time, each figure the median of five runs of
# at least BENCH_SECONDS (when set; else the benchmark's own default), and instruction counts.
bench-build:
	cmake --preset bench >/dev/null
	cmake --build --preset bench --parallel $(JOBS)

bench: packages bench-build
	build/bench/bench/tintlet_bench $(BENCH_SECONDS)

# Each Tintlet.dll in its checking host under Wine: 1,000 starts and stops, then 10,000 style
# changes.
soak: packages linux windows windows64
	cmake --build --preset windows --target soak
	cmake --build --preset windows64 --target soak

# The release archives for users: dist/Tintlet-<version>-win32.zip and -win64.zip, and
# dist/SHA256SUMS for the two.
.PHONY: dist
dist: packages
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target Tintlet
	cmake --preset windows64 >/dev/null
	cmake --build --preset windows64 --target dist

# Builds the tool natively and shows what the bundled style does to the system colours.
preview: packages-preview
	cmake --preset linux >/dev/null
	cmake --build --preset linux --parallel $(JOBS) --target tintlet-preview
	build/linux/bin/tintlet-preview

# Installs tintlet-preview under PREFIX: an optimised build of its own, stripped, with its manual
# page, the guides and what it brings, and from the 64-bit Windows build the scene its screenshots
# run (docs/install.md).
PREFIX ?= /usr/local
packages-install:
	@tools/install-packages.sh install

install: packages-install
	cmake --preset release >/dev/null
	cmake --build --preset release --parallel $(JOBS)
	cmake --preset windows64 >/dev/null
	cmake --build --preset windows64 --parallel $(JOBS) --target scene
	cmake --install build/release --prefix $(PREFIX) --strip
	cmake --install build/windows64 --prefix $(PREFIX)
