# One entry point for everything. Each target installs what it needs first.
SHELL := /bin/bash
ROOT := $(abspath .)
NATIVE := $(ROOT)/build/native
WIN32 := $(ROOT)/build/win32
WIN64 := $(ROOT)/build/win64
BENCH := $(ROOT)/build/bench
FUZZ := $(ROOT)/build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

.PHONY: all bootstrap native win32 win64 build test package demo bench fuzz clean

all: build

bootstrap:
	@bash scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORREL_WIN32_BUILD_DIR=$(WIN32) -DQUORREL_WIN64_BUILD_DIR=$(WIN64) >/dev/null
	@cmake --build $(NATIVE)

win32: bootstrap
	@cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN32)

win64: bootstrap
	@cmake -S . -B $(WIN64) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN64)

build: native win32 win64

test: build
	@bash scripts/run-tests

# dist/Quorrel-<version>-x86.zip, -x64.zip and plugin-list-entries.json.
package: win32 win64
	@python3 scripts/package --x86 $(WIN32) --x64 $(WIN64) --out $(ROOT)/dist

demo: win32
	@bash scripts/demo

bench: bootstrap win32
	@cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORREL_SANITIZE=OFF -DQUORREL_BENCH=ON >/dev/null
	@cmake --build $(BENCH)
	@for b in $(BENCH)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done
	@cd $(WIN32)/app && for b in bench_*.exe; do [ -f "$$b" ] && bash $(ROOT)/scripts/wine-run "./$$b"; done

fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORREL_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ)
	@bash scripts/run-fuzz $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(NATIVE) $(WIN32) $(WIN64) $(BENCH) $(FUZZ) $(ROOT)/dist
