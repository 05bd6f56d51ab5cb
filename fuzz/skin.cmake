# Fuzz targets of the skin language and loader.
zr5_add_fuzzer(skin_fuzz skin/skin_fuzz.cpp zr5skin zr5_warnings)
