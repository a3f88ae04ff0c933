# The two commands of the README: `make run` and `make test`. Both install
# what is missing, configure and build into build/ first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: all deps build run settings test install clean

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
# pass here and fail on a bare machine.
test: build
	@scripts/check-programs
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD_DIR)
