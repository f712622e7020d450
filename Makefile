# The front door: `make demo` and `make test` (see README.md).
JOBS ?= $(shell nproc)
PRESETS := native win64 win32 asan
FUZZ_SECONDS ?= 60

.PHONY: all deps test test-stages demo gui bench fuzz dist screenshot $(addprefix build-,$(PRESETS)) clean

all: build-native

deps:
	@scripts/timed "installs" scripts/install-deps

# A static pattern: make applies no implicit rule to a phony target.
$(addprefix build-,$(PRESETS)): build-%: deps
	cmake --preset $* >/dev/null
	@scripts/timed "$* build" cmake --build --preset $* -j $(JOBS)

# Every test runs once. The host's suite runs in the build with
# AddressSanitizer and UndefinedBehaviorSanitizer. The Windows suite runs on
# the 32-bit release that ships where the host executes 32-bit programs, else
# on the 64-bit build; scripts/test-win32 decides and says which. Each stage
# prints its time, and the last line the whole.
test:
	@scripts/timed "make test as a whole" $(MAKE) --no-print-directory test-stages

test-stages: build-asan
	@scripts/timed "host suite (asan)" ctest --preset asan -j $(JOBS)
	@scripts/test-win32 $(JOBS)

demo: build-native
	@scripts/demo build/native/cli/talvoren-convert examples/legacy build/demo-out

# Starts Talvoren.exe (the win64 build) under Wine on the current X display.
gui: deps
	@if [ -z "$${DISPLAY:-}" ]; then \
	    echo "make gui: no X display. Run it from a desktop session, or start a virtual one:"; \
	    echo "  Xvfb :1 -screen 0 1024x768x24 &   (Debian package xvfb, installed by scripts/install-deps)"; \
	    echo "  export DISPLAY=:1"; \
	    exit 1; \
	fi
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS) --target Talvoren
	scripts/wine-run build/win64/app/Talvoren.exe

# Times the driver against cp on generated data; see bench/README.md.
bench: deps
	@scripts/install-deps time
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS) --target talvoren-convert generate_legacy convert_in_memory
	bench/run_bench build/bench

# Runs the libFuzzer target for FUZZ_SECONDS; see tests/fuzz/README.md.
fuzz: deps
	@scripts/install-deps clang libclang-rt-14-dev
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_tape_file
	tests/fuzz/run_fuzz build/fuzz/tests/fuzz/fuzz_tape_file $(FUZZ_SECONDS)

# The 32-bit release for Windows users: dist/Talvoren-<version>-win32.zip.
dist: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS) --target release_zip

# docs/screenshot.png and docs/screenshot-150.png: the main window of the win64
# build, under Wine and Xvfb, at 96 DPI and at 144 DPI (a display at 150%).
screenshot: deps
	@scripts/install-deps fonts-wine
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS) --target Talvoren
	scripts/screenshot build/win64/app/Talvoren.exe docs/screenshot.png
	scripts/screenshot build/win64/app/Talvoren.exe docs/screenshot-150.png 144

clean:
	rm -rf build dist
