# The front door: `make run` and `make test` do all the set-up themselves.
PRESET ?= default
CMAKE_FLAGS ?=
ifeq ($(WERROR),1)
CMAKE_FLAGS += -DQINGXIU_WERROR=ON
endif

.PHONY: run test build deps sanitize package screenshot clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "qingxiu needs a graphical display, and neither DISPLAY nor WAYLAND_DISPLAY is set."; \
		exit 1; \
	fi
	./build/$(PRESET)/app/qingxiu

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET)

build: deps
	cmake --preset $(PRESET) $(CMAKE_FLAGS) >/dev/null
	cmake --build --preset $(PRESET)

deps:
	@scripts/install-deps

sanitize:
	$(MAKE) test PRESET=sanitize

# A Debian package of the program, in build/default/.
package: build
	cd build/$(PRESET) && cpack -G DEB

# docs/screenshot.png: the real window on a virtual screen.
screenshot: build
	@scripts/install-deps screenshot
	scripts/screenshot build/$(PRESET)/app/qingxiu docs/screenshot.png

clean:
	rm -rf build
