# Wraps the CMake presets. `make` builds both targets; `make test` installs what is missing,
# builds everything and runs every test, natively, under the sanitizers and for Windows.

.PHONY: all packages linux linux-asan windows test format

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
