# Benchmarks of the application core.
# core_settings_bench: zr5.ini with 1000 script entries read into a script
# list and written back (parse, lookups, placement, serialisation, atomic save).
add_executable(core_settings_bench core/settings_bench.cpp)
target_link_libraries(core_settings_bench PRIVATE zr5core benchmark::benchmark zr5_warnings)
