# The two commands of the README, and the builds behind them.
.PHONY: run test deps native windows clean

run: native
	./build/native/korunex shapes --ini data/KORUNEX.ini
	./build/native/korunex scene --ini data/KORUNEX.ini --size 1280x720 --frames 0

test: native windows
	ctest --preset native
	ctest --preset windows

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native > /dev/null
	cmake --build --preset native

windows: deps
	@cmake --preset windows > /dev/null
	cmake --build --preset windows

clean:
	rm -rf build out
