# The two commands of the README. Both set the machine up first (idempotent).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build run test clean

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

clean:
	rm -rf $(BUILD)
