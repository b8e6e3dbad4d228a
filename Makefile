# The two commands of the README. Both set the machine up first (idempotent).
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all setup build run test test-asan web clean install uninstall dist deb

all: build

setup:
	@bash tools/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash tools/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The suite built with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan (the asan
# preset of CMakePresets.json sets the sanitizers' options; README, "Tests").
test-asan: setup
	@cmake --preset asan >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# The browser version: build-web/site is the page to serve (README, "In a web browser").
web: build
	@bash tools/web/build.sh $(BUILD) build-web $(JOBS)

# Installing: PREFIX (default /usr/local); DESTDIR stages the tree for a package.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes exactly what the last install from this build put in place.
uninstall:
	@env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build $(BUILD) --target uninstall

# The source tarball, $(BUILD)/squibly-<version>.tar.gz.
dist:
	@bash tools/dist.sh $(BUILD)

# The Debian binary package, $(BUILD)/squibly_<version>_<arch>.deb.
deb: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-web build-asan
