# Short commands for people; CMake presets do the real work.
#   make run          build and start Vexa under Wine with a working default setup
#                     (VEXA_RUN_ARCH=win32 runs the 32-bit build)
#   make test         build every configuration and run every test
#   make screenshots  PNGs of Vexa's windows in docs/screenshots
#   make bench        benchmarks (Release, native; the Wine probes of both Windows builds)
#   make fuzz         each fuzz target for FUZZ_SECONDS seconds
#   make dist         the Windows release archives in dist/ (32-bit and 64-bit)
SHELL := /bin/bash
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
VEXA_RUN_ARCH ?= win64
export VEXA_RUN_ARCH

.PHONY: all deps run screenshots dist test test-native test-asan test-win64 test-win32 test-run build-win32 bench fuzz clean

all: test

deps:
	@scripts/install-deps.sh

define build_preset
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) -j $(JOBS)
endef

# The simulated remote is native; without it Vexa still starts.
define build_vremote
	@{ cmake --preset native >/dev/null && cmake --build --preset native --target vremote -j $(JOBS); } \
	  || echo "vremote could not be built: starting Vexa without the simulated remote."
endef

# Each run leaves a JUnit report that the summary at the end reads.
REPORTS := native=build/native/ctest-junit.xml native-asan=build/native-asan/ctest-junit.xml \
           win64=build/win64/ctest-junit.xml win32=build/win32/ctest-junit.xml run=build/run-tests/ctest-junit.xml

test: deps
	@rm -f $(foreach r,$(REPORTS),$(lastword $(subst =, ,$(r))))
	$(call build_preset,native)
	ctest --preset native --output-junit ctest-junit.xml
	$(call build_preset,native-asan)
	ctest --preset native-asan --output-junit ctest-junit.xml
	$(call build_preset,win64)
	scripts/test-wine.sh win64 build/win64
	$(call build_preset,win32)
	scripts/check-win32.sh build/win32
	scripts/test-wine.sh win32 build/win32
	$(MAKE) --no-print-directory test-run
	@scripts/test-summary.py $(REPORTS)

test-native: deps
	$(call build_preset,native)
	ctest --preset native --output-junit ctest-junit.xml

test-asan: deps
	$(call build_preset,native-asan)
	ctest --preset native-asan --output-junit ctest-junit.xml

test-win64: deps
	$(call build_preset,win64)
	scripts/test-wine.sh win64 build/win64

test-win32: deps
	$(call build_preset,win32)
	scripts/check-win32.sh build/win32
	scripts/test-wine.sh win32 build/win32

# make run as a person meets it (a scripted headless run and a Ctrl+C), and the
# release archives unpacked and started.
test-run: deps
	$(call build_preset,win64)
	$(call build_preset,win32)
	$(call build_vremote)
	cmake -S tests/run -B build/run-tests >/dev/null
	ctest --test-dir build/run-tests --output-on-failure --timeout 300 --output-junit ctest-junit.xml

build-win32: deps
	$(call build_preset,win32)
	scripts/check-win32.sh build/win32

# Only what a run starts: vexa.exe builds its plug-ins, modules and presets
# beside it; vwindow reads its status line; the carrier line's simulated run
# needs carrio.dll's scripted build.
run: deps
	cmake --preset $(VEXA_RUN_ARCH) >/dev/null
	cmake --build --preset $(VEXA_RUN_ARCH) --target vexa vwindow $(if $(filter carrio,$(VEXA_RUN_DEVICE)),carrio_scripted) -j $(JOBS)
	$(call build_vremote)
	@scripts/run.sh

screenshots: deps
	$(call build_preset,$(VEXA_RUN_ARCH))
	$(call build_vremote)
	scripts/screenshots.sh docs/screenshots

bench: deps
	$(call build_preset,win64)
	$(call build_preset,win32)
	$(call build_preset,native-bench)
	scripts/run-benchmarks.sh build/native-bench

# What is shipped only (no test program), then CPack's archive of it.
define build_release
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) --target vexa_release -j $(JOBS)
	rm -rf build/$(1)/dist
	cd build/$(1) && cpack --config CPackConfig.cmake >/dev/null
	mkdir -p dist && cp build/$(1)/dist/vexa-*-$(1).zip dist/
endef

dist: deps
	$(call build_release,win32)
	$(call build_release,win64)
	@ls -l dist/*.zip

fuzz: deps
	$(call build_preset,fuzz)
	scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build dist
