# Fuzz targets of the graphics: BMP files through loading, keying, masking and drawing.
zr5_add_fuzzer(bmp_fuzz gfx/bmp_fuzz.cpp zr5gfx zr5_warnings)
