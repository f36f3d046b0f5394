# Lumaro: `make run` and `make test` do everything on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all setup build run test test-asan bench fuzz fuzz-build fuzz-smoke clean

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

# The tests, the same under the sanitizers (with the fuzz regressions), then
# each fuzz target briefly.
test: build
	ctest --test-dir $(BUILD) --output-on-failure
	$(MAKE) test-asan
	$(MAKE) fuzz-smoke

# The same tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMARO_SANITIZE=ON -DLUMARO_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure

bench: build
	$(BUILD)/lumaro_bench

# Coverage-guided fuzzing, one libFuzzer target per area (fuzz/target_*.cpp),
# built with clang in a build of their own. `make fuzz` runs each target for
# FUZZ_SECONDS (FUZZ_JOBS processes), or until each process has run FUZZ_RUNS
# inputs; the inputs that grow coverage stay in
# $(FUZZ_BUILD)/corpus, anything that breaks lands in $(FUZZ_BUILD)/crashes.
FUZZ_BUILD   ?= build-fuzz
FUZZ_CXX     ?= clang++-14
FUZZ_SECONDS ?= 600
FUZZ_JOBS    ?= 1
FUZZ_RUNS    ?= -1
FUZZ_TARGETS  = load draw find names thumbnail containers cff pixels_shaping variations colour hinting layout checks
DEJAVU_DIR   ?= /usr/share/fonts/truetype/dejavu
INTER_FONT   ?= /usr/share/fonts/truetype/inter-vf/Inter.var.ttf
CANTARELL    ?= /usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf
NOTO_DEVANAGARI ?= /usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf
# Subsets of installed fonts, cut here by fontTools: a variable TrueType
# font, a CFF font, a hinted TrueType font with a composite (its font, control-value
# and glyph programs kept), and a WOFF and a WOFF2 file, a Devanagari font with all its
# GSUB and GPOS lookups for the few glyphs kept; and the colour test fonts fontTools' colorLib builds.
SUBSET        = /usr/bin/python3 -m fontTools.subset --unicodes=U+41-48,U+61-65 --layout-features=kern,liga
FUZZ_OPTIONS  = -rss_limit_mb=512 -timeout=5 -max_len=65536

fuzz-build: setup
	@command -v $(FUZZ_CXX) >/dev/null || { echo "fuzz: $(FUZZ_CXX) is missing (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 1; }
	CXX=$(FUZZ_CXX) cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARO_FUZZ=ON -DLUMARO_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_make_seeds $(FUZZ_TARGETS:%=fuzz_%)
	rm -rf $(FUZZ_BUILD)/seeds && mkdir -p $(FUZZ_BUILD)/seeds
	ASAN_OPTIONS=detect_leaks=0 $(FUZZ_BUILD)/fuzz_make_seeds $(FUZZ_BUILD)/seeds \
	    $(DEJAVU_DIR)/DejaVuSans.ttf $(DEJAVU_DIR)/DejaVuSerif-Bold.ttf $(DEJAVU_DIR)/DejaVuSansMono.ttf
	$(SUBSET) $(INTER_FONT) --output-file=$(FUZZ_BUILD)/seeds/inter-subset.ttf
	$(SUBSET) $(CANTARELL) --output-file=$(FUZZ_BUILD)/seeds/cantarell-subset.otf
	/usr/bin/python3 -m fontTools.subset --unicodes=U+41-48,U+61-65,U+C5 --layout-features= \
	    $(DEJAVU_DIR)/DejaVuSans.ttf --output-file=$(FUZZ_BUILD)/seeds/dejavu-hinted-subset.ttf
	$(SUBSET) $(DEJAVU_DIR)/DejaVuSans.ttf --flavor=woff --output-file=$(FUZZ_BUILD)/seeds/dejavu-subset.woff
	$(SUBSET) $(DEJAVU_DIR)/DejaVuSans.ttf --flavor=woff2 --output-file=$(FUZZ_BUILD)/seeds/dejavu-subset.woff2
	/usr/bin/python3 -m fontTools.subset --unicodes=U+915,U+937,U+94D,U+93F,U+930,U+20 --layout-features='*' \
	    $(NOTO_DEVANAGARI) --output-file=$(FUZZ_BUILD)/seeds/devanagari-subset.ttf
	/usr/bin/python3 tests/support/colour_fonts.py $(FUZZ_BUILD)/seeds
	@find $(FUZZ_BUILD)/seeds -size +20k | grep . && { echo "fuzz: seeds over 20 KB" >&2; exit 1; } || true

# Each target runs in its own log folder, where libFuzzer writes its job logs;
# the line after a run counts the inputs all its jobs ran.
FUZZ_ROOT = $(abspath $(FUZZ_BUILD))
fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	    logs=$(FUZZ_ROOT)/logs/$$t; rm -rf $$logs; \
	    mkdir -p $$logs $(FUZZ_ROOT)/corpus/$$t $(FUZZ_ROOT)/crashes/$$t; \
	    echo "== fuzz_$$t: $(FUZZ_SECONDS) s, $(FUZZ_JOBS) job(s), logs in $(FUZZ_BUILD)/logs/$$t"; \
	    (cd $$logs && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=quarantine_size_mb=64 \
	        $(FUZZ_ROOT)/fuzz_$$t $(FUZZ_OPTIONS) -max_total_time=$(FUZZ_SECONDS) -runs=$(FUZZ_RUNS) \
	        -jobs=$(FUZZ_JOBS) -workers=$(FUZZ_JOBS) -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_ROOT)/crashes/$$t/ \
	        $(FUZZ_ROOT)/corpus/$$t $(FUZZ_ROOT)/seeds $(CURDIR)/fuzz/regressions/$$t >/dev/null 2>&1); \
	    status=$$?; \
	    echo "fuzz_$$t: $$(sed -n 's/^stat::number_of_executed_units: //p' $$logs/fuzz-*.log | awk '{n += $$1} END {print n + 0}') inputs"; \
	    if [ $$status -ne 0 ]; then tail -n 40 $$logs/fuzz-*.log; ls $(FUZZ_ROOT)/crashes/$$t; exit 1; fi; \
	done

# Each target for 30 seconds: part of `make test`. Without clang it fails.
fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=30 FUZZ_JOBS=1

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
