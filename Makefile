# The README's commands. Every target installs what is missing first.
JOBS ?= $(shell nproc)
GAME_ARGS ?= --windowed

.PHONY: run test test-asan test-tsan test-fuzz bench deps build clean

deps:
	scripts/install-deps

# Configured once: a configured folder re-runs CMake by itself when a CMake file changes,
# so a build with nothing changed starts at once.
build: deps build/build.ninja
	cmake --build build -j $(JOBS)

build/build.ninja: | deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF

run: build
	build/game/Bin/korvantine $(GAME_ARGS)

# Every test under Address- and UndefinedBehaviorSanitizer, then the threaded
# tests again under ThreadSanitizer (the executable and game data too, for the threaded
# scripted run of the game).
test: deps test-asan test-tsan test-fuzz

test-asan:
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=address,undefined
	cmake --build build-test -j $(JOBS)
	cd build-test && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
		ctest --output-on-failure -j $(JOBS)

test-tsan:
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=thread \
		-DKV_TEST_ONLY_LABEL=threads
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
		ctest --output-on-failure -j $(JOBS) -L threads --no-tests=ignore

# Every fuzz target, built with clang's libFuzzer, for a bounded time each. The whole
# engine carries the coverage instrumentation, so the fuzzer is guided by the readers.
# A fixed seed makes a run repeatable: a slower machine walks a prefix of the inputs a faster
# one tries. FUZZ_SEED=0 lets libFuzzer pick a new seed, to search further.
FUZZ_SECONDS ?= 30
FUZZ_SEED ?= 1
test-fuzz:
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DKV_SANITIZE=address,undefined,fuzzer-no-link -DKV_BUILD_TESTS=OFF -DKV_BUILD_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	@for f in build-fuzz/fuzz/fuzz_*; do \
		[ -f "$$f" ] && [ -x "$$f" ] || continue; \
		echo "fuzzing $$f for $(FUZZ_SECONDS) s"; \
		mkdir -p "$$f.corpus"; \
		"$$f" "$$f.corpus" $$(cat "$$f.seeds" 2>/dev/null) \
			-max_total_time=$(FUZZ_SECONDS) -seed=$(FUZZ_SEED) -print_final_stats=1 \
			-artifact_prefix=build-fuzz/ > "$$f.log" 2>&1 \
			|| { tail -n 60 "$$f.log"; exit 1; }; \
		grep -E '^(Done|stat::number_of_executed_units)' "$$f.log" || true; \
	done

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

clean:
	rm -rf build build-test build-tsan build-fuzz build-bench
