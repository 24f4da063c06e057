# The two commands of the suite. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
EXAMPLE ?= examples/silicon-pn.kovra

.PHONY: all deps configure build test run clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

run: build
	@bash tools/run-example.sh $(BUILD_DIR) $(EXAMPLE)

clean:
	rm -rf $(BUILD_DIR)
