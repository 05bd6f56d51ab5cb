# Benchmarks of the skin runtime.
# skin_frame_bench: one ticker frame (tick, draw, headline text) of each bundled
# skin at 1024 x 40 with 50 headlines; the median of 1000 frames, in ms and as
# the share of one core the 10 ms frame timer (100 frames a second) costs.
add_executable(skin_frame_bench skin/frame_bench.cpp)
target_link_libraries(skin_frame_bench PRIVATE zr5skin benchmark::benchmark zr5_warnings)
target_compile_definitions(skin_frame_bench PRIVATE ZR5_SKINS_DIR="${CMAKE_SOURCE_DIR}/data/Skins")
