# Entry points: `make run` and `make test` set everything up on a fresh Debian machine.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
BENCH_DIR ?= build-bench
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

# Every build of the Makefile fails on a compiler warning, so that none creeps in.
CONFIGURE = cmake -S . -G Ninja -Wno-dev -DKELVO_WARNINGS_AS_ERRORS=ON

.PHONY: all bootstrap build run test test-asan bench package fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@$(CONFIGURE) -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/gui/kelvo

# The benchmarks are compiled here too (not run), so that a change cannot leave them broken.
test: build test-asan
	@$(CONFIGURE) -B $(BUILD_DIR) -DKELVO_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, less the
# playback under load: its margins are those of the optimised build.
test-asan: bootstrap
	@$(CONFIGURE) -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS) -LE load

bench: bootstrap
	@$(CONFIGURE) -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKELVO_BUILD_BENCH=ON -DKELVO_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	bench/run $(BENCH_DIR)

# A Debian package (build/kelvo_<version>_<arch>.deb) of what `cmake --install` installs.
package: build
	@cmake --build $(BUILD_DIR) --target package

# Every libFuzzer target of fuzz/ for FUZZ_SECONDS seconds each (clang, ASan, UBSan).
fuzz:
	@scripts/bootstrap --fuzz
	@$(CONFIGURE) -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DKELVO_FUZZ=ON -DKELVO_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target kelvo_fuzzers
	scripts/fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
