#pragma once

struct ZukenUrfFile;

// The merge written as plain nested loops: every new result against every read result of every
// paired group. Quadratic; kept as the reference that ZukenUrfFile::mergeFrom must match, for the
// tests and the benchmark.
void mergeFromNestedLoops(ZukenUrfFile &fresh, const ZukenUrfFile &existing);
