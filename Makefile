# Two commands for people: `make run` and `make test`. Both install what a
# fresh Debian 12 machine lacks before building. `make install` puts the
# program under PREFIX (DESTDIR is honoured for packaging). `make run` and
# `make install` build the optimised program a user gets (and the benchmark
# measures); the tests and the sanitizers keep their own build folders.
BUILD     ?= build
RUN_BUILD ?= build-release
PREFIX    ?= /usr/local
# Where the program keeps the agent's kestro.mdb and ENVIO when no
# kestro.mdb stands beside it.
DATA_DIR  := $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/KESTRO
ASAN_BUILD ?= build-asan
BENCH_ARGS ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS  ?= 20000
# Each target is held to these: an input that takes longer, a run that needs
# more memory, or a target that runs longer in all is a failure.
FUZZ_TIMEOUT ?= 10
FUZZ_RSS_MB  ?= 2048
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := fuzz_volcado fuzz_validadores fuzz_catalogo fuzz_llave fuzz_verificador \
                fuzz_resumen fuzz_ordenes
PACKAGES  := g++ cmake ninja-build qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n \
             libssl-dev openssl libsqlite3-dev
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps build release install bench asan fuzz fuzz-deps format clean \
        windows test-windows windows-deps clean-windows-deps

# Windows, cross-built here with MinGW-w64. Qt, OpenSSL and SQLite for
# Windows are built once from Debian's sources into a cache outside the build
# folders (windows/deps.sh; about an hour the first time).
WIN_BUILD    ?= build-windows
WIN_PACKAGES := g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                dpkg-dev tcl nsis zip qt6-base-dev-tools
WIN_TEST_PACKAGES := wine64 xvfb xauth
WIN_DEPS      = $(shell windows/deps.sh --where)

# Installs the Debian packages of $(1) that are missing.
define install_missing
@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Instalando:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug

$(RUN_BUILD)/build.ninja:
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

release: deps $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) --target kestro kestro_mdb kestro_verifica_firma

run: release
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "KESTRO necesita una pantalla gráfica: no se encontró ninguna (DISPLAY vacío)."; \
	  echo "Ejecute 'make run' desde una sesión de escritorio."; exit 1; \
	fi
	@if [ -f $(BUILD)/kestro.mdb ]; then \
	  if [ -e "$(DATA_DIR)/kestro.mdb" ]; then \
	    echo "Aviso: $(BUILD)/kestro.mdb ya no se usa; KESTRO trabaja con $(DATA_DIR)/kestro.mdb."; \
	  else \
	    mkdir -p "$(DATA_DIR)" && mv $(BUILD)/kestro.mdb "$(DATA_DIR)/" && \
	    if [ -d $(BUILD)/ENVIO ] && [ ! -e "$(DATA_DIR)/ENVIO" ]; then mv $(BUILD)/ENVIO "$(DATA_DIR)/"; fi && \
	    echo "Su trabajo se movió de $(BUILD)/ a $(DATA_DIR)/."; \
	  fi; \
	fi
	$(RUN_BUILD)/bin/kestro

install: release
	@run=""; if [ -z "$(DESTDIR)" ] && [ ! -w "$(PREFIX)" ]; then run="$(SUDO)"; fi; \
	$$run env DESTDIR="$(DESTDIR)" cmake --install $(RUN_BUILD) --prefix "$(PREFIX)"

# The benchmark compares with the sqlite3 command line, needed only here.
bench: deps $(RUN_BUILD)/build.ninja
	$(call install_missing,sqlite3)
	cmake --build $(RUN_BUILD) --target bench_programas
	$(RUN_BUILD)/bench/kestro_bench $(BENCH_ARGS)

# What the tests run beside the program: pdftotext, and a window manager on
# a virtual screen.
TEST_PACKAGES := poppler-utils xvfb xauth openbox x11-utils

test: build
	$(call install_missing,$(TEST_PACKAGES))
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

asan: deps
	$(call install_missing,$(TEST_PACKAGES))
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKESTRO_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# libFuzzer needs clang and its runtime; the tests do not.
fuzz-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="clang libclang-rt-14-dev"

# Each target runs FUZZ_RUNS inputs (make fuzz FUZZ_RUNS=1000000), one after
# the other, starting from its committed corpus, under the limits above;
# what it learns stays in $(FUZZ_BUILD)/corpus, the committed corpus is not
# touched.
fuzz: deps fuzz-deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKESTRO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "== $$t ($(FUZZ_RUNS) entradas)"; \
	  QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/tests/fuzz/$$t -runs=$(FUZZ_RUNS) \
	    -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=$(FUZZ_RSS_MB) -max_total_time=$(FUZZ_SECONDS) \
	    -max_len=65536 -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$t tests/fuzz/corpus/$$t \
	    > $(FUZZ_BUILD)/$$t.log 2>&1; rc=$$?; \
	  grep -E "number_of_executed_units|Done" $(FUZZ_BUILD)/$$t.log; \
	  [ $$rc = 0 ] || { tail -40 $(FUZZ_BUILD)/$$t.log; exit 1; }; \
	done

windows-deps: deps
	$(call install_missing,$(WIN_PACKAGES))
	windows/deps.sh

$(WIN_BUILD)/build.ninja: | windows-deps
	KESTRO_WIN_DEPS=$(WIN_DEPS) cmake -S . -B $(WIN_BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/windows/toolchain.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_PREFIX_PATH=$(WIN_DEPS) -DOPENSSL_ROOT_DIR=$(WIN_DEPS) \
	  -DKESTRO_HOST_CREA_BD=$(CURDIR)/$(RUN_BUILD)/kestro_crea_bd \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/windows/wine-run.sh

# The portable folder, its zip and the installer, in $(WIN_BUILD)/.
windows: windows-deps $(RUN_BUILD)/build.ninja $(WIN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) --target kestro_crea_bd
	KESTRO_WIN_DEPS=$(WIN_DEPS) cmake --build $(WIN_BUILD) --target kestro kestro_verifica_firma kestro_mdb
	windows/package.sh $(WIN_BUILD) $(WIN_DEPS)

# Every test, cross-built, under Wine on a virtual screen, in a throwaway
# Wine prefix. Its windows are not handed to a window manager: with none on
# the screen, Wine would wait for one at every window shown or hidden.
test-windows: windows
	$(call install_missing,$(WIN_TEST_PACKAGES))
	KESTRO_WIN_DEPS=$(WIN_DEPS) cmake --build $(WIN_BUILD)
	rm -rf $(WIN_BUILD)/wineprefix
	WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wineprefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all \
	  xvfb-run -a -s "-screen 0 1366x768x24" sh -c 'wineboot -i && wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f && wineserver -w' >/dev/null 2>&1
	cd $(WIN_BUILD) && KESTRO_WIN_DEPS=$(WIN_DEPS) WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wineprefix \
	  xvfb-run -a -s "-screen 0 1366x768x24" ctest --output-on-failure

clean-windows-deps:
	rm -rf "$$(dirname "$$(windows/deps.sh --where)")"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(RUN_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
