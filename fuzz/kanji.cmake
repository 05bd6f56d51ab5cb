# Fuzz targets of the Japanese text conversion.
# kanji_fuzz: arbitrary bytes through kanjiConvert("-s -Lu"); the output must
# stay well-formed Shift_JIS and bounded (see the source).
zr5_add_fuzzer(kanji_fuzz kanji/kanji_fuzz.cpp zr5script_kanji zr5_warnings)
