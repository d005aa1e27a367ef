# Tarnby Golf: the two commands a player needs, and a few for developers.
#   make play            build everything and start the game
#   make test            build and run the whole test suite
#   make test-sanitize   the suite under AddressSanitizer, UBSan and LeakSanitizer (clang)
#   make soak            the computer golfer plays all 54 holes under the sanitizers (long)
#   make test-thread     the terrain and worker-pool tests under ThreadSanitizer (clang)
#   make bench           build and run the benchmarks
#   make bench-report    the landscape's speed figures against their goals, in one table
#   make fuzz            build the fuzz targets (clang + libFuzzer)
#   make fuzz-run SECONDS=N  run every fuzz target N seconds; fails on any finding
#   make mutants         count the slips of tests/mutants.txt that the suite catches
#   make tidy            clang-tidy over the sources

JOBS     ?= $(shell nproc)
BUILD    ?= build
SANITIZE ?= build-sanitize
FUZZ     ?= build-fuzz
THREAD   ?= build-thread
CMAKE_GEN = -G Ninja

SECONDS  ?= 20

.PHONY: play test test-sanitize soak test-thread bench bench-report fuzz fuzz-run mutants tidy deps configure build clean

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

# The tests that run the landscape on worker threads, built with clang's
# ThreadSanitizer: any data race fails them.
THREAD_TESTS = runtime_runtime_test terrain_vterrain_golden_test terrain_vterrain_test vector_vpolyn_test

test-thread: deps
	CC=clang CXX=clang++ cmake -S . -B $(THREAD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTARNBY_THREAD_SANITIZE=ON -DTARNBY_BENCH=OFF
	cmake --build $(THREAD) -j $(JOBS) --target $(THREAD_TESTS)
	@for t in $(THREAD_TESTS); do echo "== $$t"; \
	    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(THREAD)/tests/$$t --gtest_brief=1 || exit 1; done

bench-report: build
	@scripts/bench-report $(BUILD)/bin

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
	rm -rf $(BUILD) $(SANITIZE) $(FUZZ) $(THREAD) build-mutants
