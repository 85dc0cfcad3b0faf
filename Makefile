# The two commands of the project: `make run` and `make test`.
.PHONY: run test deps build-release build-debug build-asan package clean

JOBS ?= $(shell nproc)

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

run: build-release
	./build/release/varneljs

test: build-debug
	ctest --preset debug -j $(JOBS)
	$(MAKE) build-asan
	ctest --preset asan -j $(JOBS)

package: build-release
	cd build/release && cpack

clean:
	rm -rf build
