# Benchmarks of the Japanese text conversion.
# kanji_bench: kanjiConvert against `nkf -s -Lu` and iconv on generated 20 MB
# EUC-JP and UTF-8 inputs, as MB/s and ratios, in one run.
add_executable(kanji_bench kanji/kanji_bench.cpp)
target_link_libraries(kanji_bench PRIVATE zr5script_kanji zr5_warnings)
