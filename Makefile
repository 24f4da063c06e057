# The two commands of the suite. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
EXAMPLE ?= examples/silicon-pn.kovra

# What `make run` needs: the driver (with the engine library) and the data
# it loads; the test programs are not built for it.
RUN_TARGETS = kovracomp material_database

.PHONY: all deps configure build test run sanitize clean format format-check

all: build

deps:
	@bash scripts/install-deps.sh

# Extra cmake options of the configure step; `make test` adds its own.
CMAKE_OPTIONS ?=

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_OPTIONS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The layout check first (seconds, no build), then the fuzz tests under the
# sanitizers (build-asan/, only their targets), then the whole suite, whose
# summary closes the output; both run, and either failing fails. Here, as
# in CI, a warning in the suite's own code fails the build.
test: CMAKE_OPTIONS += -DKOVRA_WERROR=ON
test: format-check build
	@bash scripts/run-sanitized-fuzz.sh build-asan $(JOBS); fuzz=$$?; \
	bash scripts/run-tests.sh $(BUILD_DIR) $(JOBS); suite=$$?; \
	exit $$(( fuzz != 0 || suite != 0 ))

run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(RUN_TARGETS)
	@bash scripts/run-example.sh $(BUILD_DIR) $(EXAMPLE)

# The whole suite under AddressSanitizer and UBSan, in its own build folder.
sanitize: deps
	@cmake -S . -B build-asan -G Ninja -DKOVRA_SANITIZE=ON -DKOVRA_BUILD_BENCH=OFF \
		-DKOVRA_WERROR=ON > /dev/null
	@cmake --build build-asan -j $(JOBS)
	@bash scripts/run-tests.sh build-asan $(JOBS)

format-check: deps
	@bash scripts/check-format.sh

format: deps
	@bash scripts/check-format.sh --fix

clean:
	rm -rf $(BUILD_DIR)
