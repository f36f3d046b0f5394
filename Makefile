# Lumaro: `make run` and `make test` do everything on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all setup build run test test-asan bench clean

all: build

setup:
	@scripts/setup

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/lumaro $(FONT)

test: build
	ctest --test-dir $(BUILD) --output-on-failure
	$(MAKE) test-asan

# The same tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMARO_SANITIZE=ON -DLUMARO_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure

bench: build
	$(BUILD)/lumaro_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
