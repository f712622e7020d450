# The front door: `make demo` and `make test` (see README.md).
JOBS ?= $(shell nproc)
PRESETS := native win64 win32

.PHONY: all deps test demo $(addprefix build-,$(PRESETS)) clean

all: build-native

deps:
	@scripts/install-deps

build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

test: build-native build-win64 build-win32
	ctest --preset native -j $(JOBS)
	ctest --preset win64 -j $(JOBS)

demo: build-native
	@scripts/demo build/native/cli/talvoren-convert examples/legacy build/demo-out

clean:
	rm -rf build dist
