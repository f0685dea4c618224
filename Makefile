# Keywright: `make run` builds and starts the window, `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
SECONDS    ?= 60
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test test-sanitized fuzz fuzz-build test-fuzz-corpus bench screenshots install package format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	$(BUILD)/keywright

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKEYWRIGHT_SANITIZE=ON

# The core, command-line and window tests again under AddressSanitizer +
# UndefinedBehaviorSanitizer (the window offscreen).
test-sanitized: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The fuzz targets (libFuzzer, clang-14, ASan + UBSan) in their own build.
$(FUZZ_BUILD)/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEYWRIGHT_CORE_ONLY=ON -DKEYWRIGHT_TESTS=OFF \
	    -DKEYWRIGHT_FUZZ=ON

fuzz-build: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) --target keywright_fuzz

# Every fuzz target for SECONDS seconds, one after the other (make fuzz SECONDS=600).
fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) $(SECONDS)

# Every fuzz target over its seed corpus once: the regression run of the findings.
test-fuzz-corpus: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) 0

# The sanitized and fuzz-corpus runs come first so that the last line is the summary of the full
# suite.
test: build test-sanitized test-fuzz-corpus
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

$(BENCH_BUILD)/build.ninja:
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DKEYWRIGHT_CORE_ONLY=ON -DKEYWRIGHT_BENCH=ON -DKEYWRIGHT_TESTS=OFF

# One table, ours beside OpenSSL in the same run (medians of three short repetitions: a couple of
# minutes), also written as JSON to $(BENCH_BUILD)/bench.json.
BENCH_FLAGS ?= --benchmark_filter='^(ours|openssl)/' --benchmark_min_time=0.1 \
    --benchmark_repetitions=3
bench: deps $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) --target keywright_bench
	@echo "Measuring every engine beside OpenSSL (a couple of minutes)..."
	@$(BENCH_BUILD)/bench/keywright_bench $(BENCH_FLAGS) --benchmark_out_format=json \
	    --benchmark_out=$(BENCH_BUILD)/bench-runs.json > /dev/null
	@scripts/bench-table $(BENCH_BUILD)/bench-runs.json $(BENCH_BUILD)/bench.json

# One picture per page into $(BUILD)/screenshots; the README shows a few of them from docs/.
screenshots: build
	scripts/screenshots $(BUILD)/screenshots

PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# keywright_VERSION_amd64.deb in $(BUILD), its Depends read off the programs' libraries.
package: build
	cd $(BUILD) && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
