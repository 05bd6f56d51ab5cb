# Fuzz targets of what zr5a reads before Qt starts: its command line and the
# start-at-login entry.
zr5_add_fuzzer(launch_fuzz launch/launch_fuzz.cpp zr5launch zr5core)
