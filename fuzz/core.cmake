# Fuzz targets of the application core.
zr5_add_fuzzer(profile_file_fuzz core/profile_file_fuzz.cpp zr5core)
zr5_add_fuzzer(opml_fuzz core/opml_fuzz.cpp zr5core)
