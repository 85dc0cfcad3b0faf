# The two commands of the project: `make run` and `make test`.
.PHONY: run test deps build-release build-debug build-asan build-fuzz fuzz package clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps

build-release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

build-debug: deps
	cmake --preset debug
	cmake --build --preset debug -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# The fuzz targets, built with clang; only the libraries they need are compiled.
build-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

# Runs each fuzz target for FUZZ_SECONDS seconds, one after another.
fuzz: build-fuzz
	scripts/fuzz $(FUZZ_SECONDS)

run: build-release
	./build/release/varneljs

test: build-debug
	ctest --preset debug -j $(JOBS)
	$(MAKE) build-asan
	ctest --preset asan -j $(JOBS)
	$(MAKE) build-fuzz
	ctest --preset fuzz -j $(JOBS)

package: build-release
	cd build/release && cpack

clean:
	rm -rf build
