# The two commands of the README: `make run` and `make test`. Both install what
# is missing, build, and assemble the data tree beside the executable.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-asan bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	cd $(BUILD)/bin && ./talvex

# Every test, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer; any failure or sanitizer report fails the run.
# Here a test that finds no GL context, audio device or virtual controller
# fails instead of skipping (a plain local ctest still skips it).
NEED_DEVICES = TALVEX_TESTS_NEED_DEVICES=1

test: build
	$(NEED_DEVICES) ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	$(MAKE) test-asan

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTALVEX_SANITIZE=ON -DTALVEX_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	$(NEED_DEVICES) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

# Benchmarks are built with the game and run only on demand.
bench: build
	@for b in $(BUILD)/bin/talvex_bench*; do [ -x "$$b" ] && "$$b" || true; done

# The loader fuzzers, built with clang; FUZZ_SECONDS per target (60 by
# default), FUZZ_TARGETS="tmx save" to run only some.
fuzz: deps
	@scripts/fuzz.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
