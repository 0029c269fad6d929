.PHONY: run test build
build:
	bash scripts/setup.sh

run: build
	bash scripts/run.sh

test: build
	cd build && ctest --output-on-failure -j2 --timeout 600
