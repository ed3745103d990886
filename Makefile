# Short commands for people; CMake presets do the real work.
#   make run    build and start Vexa under Wine with a working default setup
#   make test   build every configuration and run every test
#   make bench  benchmarks (Release, native)
#   make fuzz   each fuzz target for FUZZ_SECONDS seconds
SHELL := /bin/bash
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: all deps run test test-native test-asan test-win64 build-win32 bench fuzz clean

all: test

deps:
	@scripts/install-deps.sh

define build_preset
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) -j $(JOBS)
endef

test: deps
	$(call build_preset,native)
	ctest --preset native
	$(call build_preset,native-asan)
	ctest --preset native-asan
	$(call build_preset,win64)
	scripts/test-win64.sh build/win64
	$(call build_preset,win32)
	scripts/check-win32.sh build/win32
	@echo "All tests passed."

test-native: deps
	$(call build_preset,native)
	ctest --preset native

test-asan: deps
	$(call build_preset,native-asan)
	ctest --preset native-asan

test-win64: deps
	$(call build_preset,win64)
	scripts/test-win64.sh build/win64

build-win32: deps
	$(call build_preset,win32)
	scripts/check-win32.sh build/win32

run: deps
	$(call build_preset,win64)
	@# The simulated remote is native; without it Vexa still starts.
	@{ cmake --preset native >/dev/null && cmake --build --preset native --target vremote -j $(JOBS); } \
	  || echo "vremote could not be built: starting Vexa without the simulated remote."
	scripts/run.sh

bench: deps
	$(call build_preset,native-bench)
	scripts/run-benchmarks.sh build/native-bench

fuzz: deps
	$(call build_preset,fuzz)
	scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
