# Lumaro: `make run` and `make test` do everything on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all setup build run test test-asan bench fuzz clean

all: build

setup:
	@scripts/setup

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

# The window alone, built without the tests and benchmarks; DejaVu Sans
# (installed by the set-up) unless FONT= names another font.
FONT ?= /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
run: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS) --target lumaro
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

# Coverage-guided fuzzing of the reader and the drawing (clang's libFuzzer;
# Debian: clang-14 libclang-rt-14-dev). FUZZ_SECONDS=600 make fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@mkdir -p $(BUILD)/fuzz-corpus $(BUILD)/fuzz-seeds
	clang++ -std=c++20 -Itests fuzz/make_seeds.cpp -o $(BUILD)/fuzz_make_seeds
	$(BUILD)/fuzz_make_seeds $(BUILD)/fuzz-seeds
	clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
	    fuzz/fuzz_font.cpp src/font/*.cpp src/glyph/*.cpp -o $(BUILD)/fuzz_font
	$(BUILD)/fuzz_font -max_total_time=$(FUZZ_SECONDS) -max_len=65536 $(BUILD)/fuzz-corpus $(BUILD)/fuzz-seeds

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
