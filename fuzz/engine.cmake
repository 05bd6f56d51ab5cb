# Fuzz targets of the news-script engine.
# script_fuzz: bytes as a script file through load and every category, with
# the run budget on (see the source for why).
zr5_add_fuzzer(script_fuzz engine/script_fuzz.cpp zr5script_engine zr5_warnings)
# feed_fuzz: bytes through the feed reader and the entity decoder.
zr5_add_fuzzer(feed_fuzz engine/feed_fuzz.cpp zr5script_feed zr5_warnings)
