# The two commands of the project: `make run` and `make test`.
.PHONY: run test deps build-release build-debug build-check bench fuzz package clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps

# The program alone, optimised.
build-release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target varneljs varneljs-cli

# An unsanitised debug build of everything, for working on the code.
build-debug: deps
	cmake --preset debug
	cmake --build --preset debug -j $(JOBS)

# The tests and the fuzz targets in one build (clang, AddressSanitizer + UBSan, libFuzzer instrumentation).
build-check: deps
	cmake --preset check
	cmake --build --preset check -j $(JOBS)

# Every test once, in the checked build; the fuzz targets' smoke runs are tests of the same build.
test: build-check
	ctest --preset check -j $(JOBS)

# The benchmarks, optimised (programs under build/release/bench/; they print figures, they pass or fail nothing).
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

# Runs each fuzz target for FUZZ_SECONDS seconds, one after another.
fuzz: build-check
	scripts/fuzz $(FUZZ_SECONDS)

run: build-release
	./build/release/varneljs

package: bench
	cd build/release && cpack

clean:
	rm -rf build
