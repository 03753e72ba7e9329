# The two commands of the README, and the builds behind them.
.PHONY: run test bench fuzz install deb deps native sanitize windows package run-windows run-windows-config clean

PREFIX ?= /usr/local

# Seconds each fuzz target runs in make fuzz.
FUZZ_SECONDS ?= 60

# The saver full-screen on this display (any key or mouse movement ends it);
# without a display, three seconds of frames drawn headless into out/.
run: native
	@if [ -n "$$DISPLAY" ] && xdpyinfo > /dev/null 2>&1; then \
	  ./build/native/korunex saver; \
	else \
	  echo "no display: drawing frames into out/"; \
	  ./build/native/korunex render --size 1280x720 --frames 55 --every 5 --out out/frames \
	    --sheet out/contact-sheet.png | tail -n 1; \
	fi

# The program, the default shape file and the manual page under PREFIX; the
# option file where XScreenSaver's settings program reads it.
install: native
	DESTDIR=$(DESTDIR) cmake --install build/native --prefix $(PREFIX)

# The Debian package out/korunex_VERSION_ARCH.deb, built with Debian's tools.
deb: deps
	scripts/make-deb out

bench: native
	./build/native/korunex_bench
	bench/saver_cpu.sh build/native/korunex

test: native sanitize windows package deb
	ctest --preset native
	ctest --preset sanitize
	ctest --preset windows

deps:
	@scripts/install-deps

# The three builds, each a CMake preset of its name.
native sanitize windows: deps
	@cmake --preset $@ > /dev/null
	cmake --build --preset $@

fuzz: sanitize
	tests/fuzz/run-fuzzers fuzz build/sanitize $(FUZZ_SECONDS)

# The Windows packages (built with the windows preset): the installer
# KORUNEX-x64.msi, and the zip of the module, the default KORUNEX.ini,
# install.cmd, uninstall.cmd and a READ-ME. The builds write into build/;
# what is handed out lands in out/ from here alone.
package: windows
	mkdir -p out
	cp build/windows/KORUNEX64.SCR build/windows/package/KORUNEX-x64.zip build/windows/package/KORUNEX-x64.msi out/

# The real module full-screen under Wine on this display, or in a virtual
# display with a screenshot saved into out/.
run-windows: windows
	scripts/run-windows build/windows/KORUNEX64.SCR

# The real module's configuration dialog under Wine on this display, or in a
# virtual display with a screenshot saved into out/.
run-windows-config: windows
	scripts/run-windows-config build/windows/KORUNEX64.SCR

clean:
	rm -rf build out
