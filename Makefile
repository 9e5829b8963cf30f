# Front door: `make run` starts Glowdeck on the simulated lights, `make test` runs every test.
PRESET ?= default
BUILD_DIR := $(if $(filter asan,$(PRESET)),build-asan,build)
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-asan test-desktops run bench demo install package format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) $(if $(CI),-DGLOWDECK_WERROR=ON) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# Glowdeck's item in GNOME Shell and Plasma, which it installs first; not part of `make test`.
test-desktops: build
	@scripts/test-desktops $(BUILD_DIR)

# Without a desktop it says so and what to do instead, and stops there.
run:
	@if scripts/run-glowdeck --check-session; then \
		$(MAKE) --no-print-directory build && scripts/run-glowdeck $(BUILD_DIR); fi

# Screenshots of the tray, the menu and the windows in every light state, into $(BUILD_DIR)/demo/.
demo: build
	@scripts/demo $(BUILD_DIR)

bench: build
	@scripts/run-bench $(BUILD_DIR)

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR)/package/: sudo apt install ./$(BUILD_DIR)/package/glowdeck_*.deb
package: build
	@cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-asan
