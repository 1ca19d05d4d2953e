# make run  : installs what is missing, builds, starts the program
# make test : installs what is missing, builds, runs every test through ctest
# make format: lays out every tracked C++ file as .clang-format says (make test checks it)
# make sample: writes examples/sample.xlsx, an entry workbook to try the program on
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps build run test bench sample format clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/gui/tombra

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/bench_workbook
	$(BUILD)/bench/bench_whole_road
	$(BUILD)/bench/bench_workbook_window
	$(BUILD)/bench/bench_draw_quality 400 7

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

sample: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target make_sample
	$(BUILD)/tools/make_sample tools/sample-template.xlsx examples/sample.xlsx

clean:
	rm -rf $(BUILD)
