# Benchmarks of the skin runtime.
# skin_frame_bench: one ticker frame (tick, draw, headline text) of each bundled
# skin at 600 x 48 and 2560 x 48 with 100 headlines, drawn from nothing and by a
# renderer that keeps its surfaces; the median of 1000 frames, in ms and as the
# share of one core 100 frames a second cost. Then the window resized every
# frame and 10 000 titles of 10 000 characters, with the peak memory.
add_executable(skin_frame_bench skin/frame_bench.cpp)
target_link_libraries(skin_frame_bench PRIVATE zr5skin benchmark::benchmark zr5_warnings)
target_compile_definitions(skin_frame_bench PRIVATE ZR5_SKINS_DIR="${CMAKE_SOURCE_DIR}/data/Skins")
