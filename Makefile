# The two commands of the README, and the builds behind them.
.PHONY: run test bench fuzz deps native sanitize windows clean

# Seconds each fuzz target runs in make fuzz.
FUZZ_SECONDS ?= 60

# Three seconds of the default logo at the default 55 ms a frame, drawn headless.
run: native
	./build/native/korunex render --size 1280x720 --frames 55 --every 5 --out out/frames --sheet out/contact-sheet.png | tail -n 1

bench: native
	./build/native/korunex_bench

test: native sanitize windows
	ctest --preset native
	ctest --preset sanitize
	ctest --preset windows

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native > /dev/null
	cmake --build --preset native

sanitize: deps
	@cmake --preset sanitize > /dev/null
	cmake --build --preset sanitize

fuzz: sanitize
	tests/fuzz/run-fuzzers fuzz build/sanitize $(FUZZ_SECONDS)

windows: deps
	@cmake --preset windows > /dev/null
	cmake --build --preset windows

clean:
	rm -rf build out
