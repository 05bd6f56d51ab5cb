# Fuzz targets of the built-in library.
zr5_add_fuzzer(tokenizer_fuzz builtins/tokenizer_fuzz.cpp zr5script_builtins zr5_warnings)
target_include_directories(tokenizer_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tests/engine/builtins)
