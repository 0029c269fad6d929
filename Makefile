.PHONY: run test build fuzz
build:
	bash scripts/setup.sh

run: build
	bash scripts/run.sh

test: build
	cd build && ctest --output-on-failure -j2 --timeout 600

# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# FUZZ_SECONDS (60) on its corpus in fuzz-corpus/<name>, seeded from fuzz/seeds/<name>.
FUZZ_SECONDS ?= 60
fuzz:
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVARNOK_FUZZ=ON -DVARNOK_GUI=OFF -DVARNOK_BENCH=OFF
	cmake --build build-fuzz --target fuzzers
	@for f in build-fuzz/fuzz/fuzz_*; do \
	  name=$${f##*/fuzz_}; mkdir -p fuzz-corpus/$$name; \
	  seeds=""; [ -d fuzz/seeds/$$name ] && seeds=fuzz/seeds/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -malloc_limit_mb=64 -print_final_stats=1 fuzz-corpus/$$name $$seeds || exit 1; \
	done
