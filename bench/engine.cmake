# Benchmarks of the news-script engine.
# engine_parse_bench: parse throughput of a generated 1 MB script, in-process.
add_executable(engine_parse_bench engine/parse_bench.cpp)
target_link_libraries(engine_parse_bench PRIVATE zr5script_interp benchmark::benchmark zr5_warnings)

# engine_compare_bench: the same small programs (counting loop, calls, member
# access, string concatenation) through zr5run, lua5.4 and duk, as ratios.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(engine_compare_bench
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/engine/compare_engines.py $<TARGET_FILE:zr5run>
  DEPENDS zr5run
  USES_TERMINAL)

# engine_run_bench: run speed of tight loops, calls, member stores and string
# building, where the run-time checks (time, cancel, memory) are paid.
add_executable(engine_run_bench engine/run_bench.cpp)
target_link_libraries(engine_run_bench PRIVATE zr5script_interp benchmark::benchmark zr5_warnings)

# engine_feed_bench: the feed reader against the RSS site script's walk over
# the built-ins, on a generated 5 MB and 50 MB feed; time, peak memory, ratio.
add_executable(engine_feed_bench engine/feed_bench.cpp)
target_link_libraries(engine_feed_bench PRIVATE zr5script_feed zr5script_builtins benchmark::benchmark zr5_warnings)
target_include_directories(engine_feed_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine/builtins
                                                    ${CMAKE_SOURCE_DIR}/bench/builtins)
