# Tarnby Golf: the two commands a player needs, and a few for developers.
#   make play            build everything and start the game
#   make test            build and run the whole test suite
#   make test-sanitize   the suite under AddressSanitizer, UBSan and LeakSanitizer (clang)
#   make soak            the computer golfer plays all 54 holes under the sanitizers (long)
#   make bench           build and run the benchmarks
#   make fuzz            build the fuzz targets (clang + libFuzzer)
#   make fuzz-run SECONDS=N  run every fuzz target N seconds; fails on any finding
#   make mutants         count the slips of tests/mutants.txt that the suite catches
#   make tidy            clang-tidy over the sources

JOBS     ?= $(shell nproc)
BUILD    ?= build
SANITIZE ?= build-sanitize
FUZZ     ?= build-fuzz
CMAKE_GEN = -G Ninja

SECONDS  ?= 20

.PHONY: play test test-sanitize soak bench fuzz fuzz-run mutants tidy deps configure build clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

play: build
	@scripts/play $(BUILD)/bin

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DTARNBY_SANITIZE=ON -DTARNBY_BENCH=OFF
	cmake --build $(SANITIZE) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(SANITIZE) --output-on-failure -j $(JOBS)

soak: deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DTARNBY_SANITIZE=ON -DTARNBY_BENCH=OFF
	cmake --build $(SANITIZE) -j $(JOBS) --target autoplay-soak golf-data
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    $(SANITIZE)/bin/autoplay-soak --size 240x320

bench: build
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTARNBY_FUZZ=ON -DTARNBY_BENCH=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz-targets

fuzz-run: fuzz
	scripts/fuzz-run $(SECONDS) $(FUZZ)

# Not part of make test: it rebuilds and retests once per slip (in build-mutants/).
mutants: deps
	nice -n 15 scripts/mutants $(MUTANTS_ARGS)

tidy: configure
	run-clang-tidy -p $(BUILD) -quiet '/src/' '/tools/'

clean:
	rm -rf $(BUILD) $(SANITIZE) $(FUZZ) build-mutants
