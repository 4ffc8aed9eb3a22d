# Wraps the CMake presets. `make` builds both targets; `make test` installs what is missing,
# builds everything and runs every test, natively, under the sanitizers and for Windows.

.PHONY: all packages linux linux-asan windows test format fuzz-build fuzz soak

all: linux windows

packages:
	@tools/install-packages.sh

linux linux-asan windows:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@

test: packages
	$(MAKE) linux linux-asan windows
	ctest --preset linux
	ctest --preset linux-asan
	ctest --preset windows
	$(MAKE) fuzz-build
	ctest --preset fuzz
	$(MAKE) bench-build
	ctest --preset bench

# The fuzz targets (clang); `make fuzz` runs each for FUZZ_SECONDS and prints what it found.
FUZZ_SECONDS ?= 60
fuzz-build:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

fuzz: packages fuzz-build
	fuzz/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The reading-pass benchmark (optimised build): Google Benchmark's output, then the summary.
.PHONY: bench-build bench
bench-build:
	cmake --preset bench >/dev/null
	cmake --build --preset bench

bench: packages bench-build
	build/bench/bench/tintlet_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# Tintlet.dll in Marlwood.exe under Wine: 1,000 starts and stops, then 10,000 style changes.
soak: packages windows
	cmake --build --preset windows --target soak

# The release archive for users: dist/Tintlet-<version>-win32.zip.
.PHONY: dist
dist: packages
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target dist

# Builds the tool natively and shows what the bundled style does to the system colours.
.PHONY: preview
preview:
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target tintlet-preview
	build/linux/tools/preview/tintlet-preview

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
