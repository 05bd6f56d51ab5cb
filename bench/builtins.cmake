# Benchmarks of the built-in library.
# builtins_bench: the site script's walk (Document.get, isTag, getAttr) over
# a generated 5 MB and 50 MB feed, in-process.
add_executable(builtins_bench builtins/document_walk_bench.cpp)
target_link_libraries(builtins_bench PRIVATE zr5script_builtins benchmark::benchmark zr5_warnings)

# rss_template_bench: the generated site script itself (and the earlier
# tokenizer walk, for comparison) through zr5run against
# the same feeds served from 127.0.0.1; time, peak memory and the 50/5 ratio.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(rss_template_bench
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/builtins/rss_template_bench.py
          $<TARGET_FILE:zr5run>
          ${CMAKE_SOURCE_DIR}/tests/engine/builtins/rss
  DEPENDS zr5run
  USES_TERMINAL)
# The tests' helpers for calling built-ins the way the evaluator does.
target_include_directories(builtins_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine/builtins)
