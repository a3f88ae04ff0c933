# The commands of the README: `make run`, `make test`, `make deb` and
# `make install`. All install what is missing, configure and build into build/
# first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: all deps build run settings test fuzz soak bench deb install uninstall clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/emberlrn /s

settings: build
	$(BUILD_DIR)/emberlrn /c

# The package lists are proved first: a program that no list installs would
# pass here and fail on a bare machine. The fuzz targets then run for a
# minute in all; `make fuzz` runs them longer (FUZZ_SECONDS).
FUZZ_TEST_SECONDS ?= 60
FUZZ_SECONDS ?= 900

test: build
	@scripts/check-programs
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	@JOBS=$(JOBS) scripts/fuzz $(FUZZ_TEST_SECONDS)

fuzz: deps
	@JOBS=$(JOBS) scripts/fuzz $(FUZZ_SECONDS)

# The real saver under Xvfb for SOAK_MINUTES (10 by default), its resident
# memory reported at the start and the end.
soak: build
	@scripts/soak $(BUILD_DIR)

# What a frame costs: the frame benchmarks, then the saver's CPU and memory
# on private displays beside xscreensaver's xflame, then the settings
# dialog's with its live preview. BENCH_ARGS go to the
# second, e.g. BENCH_ARGS="--sizes 1920x1080 --against /usr/bin/emberlrn".
# The scripts run on the system's Python, which the packages' modules are for.
bench: build
	$(BUILD_DIR)/bench/frame_bench --benchmark_min_time=0.5
	EMBERLRN_BIN=$(BUILD_DIR)/emberlrn EMBERLRN_DATA_DIR=$(BUILD_DIR)/share/emberlrn/ \
	  /usr/bin/python3 bench/frame_cost.py $(BENCH_ARGS)
	EMBERLRN_BIN=$(BUILD_DIR)/emberlrn EMBERLRN_DATA_DIR=$(BUILD_DIR)/share/emberlrn/ \
	  /usr/bin/python3 bench/dialog_cost.py

# The Debian package, build/emberlrn_<version>_amd64.deb, made from this
# build tree by CPack.
deb: build
	cd $(BUILD_DIR) && cpack -G DEB

# Every file `make install` puts in place is added to a record in the build
# folder, so that `make uninstall` removes exactly those, from every prefix
# installed to.
INSTALL_RECORD = $(BUILD_DIR)/installed-files.txt
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)
	cat $(BUILD_DIR)/install_manifest.txt >> $(INSTALL_RECORD)

uninstall:
	@scripts/uninstall $(INSTALL_RECORD)

clean:
	rm -rf $(BUILD_DIR) build-fuzz
