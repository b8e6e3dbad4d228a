# The two commands of the README. Both set the machine up first (idempotent).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build run test web clean

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

# The browser version: build-web/site is the page to serve (README, "In a web browser").
web: build
	@bash tools/web/build.sh $(BUILD) build-web $(JOBS)

clean:
	rm -rf $(BUILD) build-web
