#pragma once

#include <QtGlobal>

// Root of the board geometry classes. Carries the indentation level of the text dump and
// the fuzzy comparisons that every geometry operation shares.
class bd
{
public:
    bd() = default;
    // The level belongs to one dump in progress, never to the value: copies start at 0.
    bd(const bd &) {}
    bd &operator=(const bd &) { return *this; }

    // Qt's relative comparison: the difference times 1e12 is at most the smaller magnitude.
    static bool fuzzyEqual(double a, double b) { return qFuzzyCompare(a, b); }
    // The same for single precision, with the factor 1e5.
    static bool fuzzyEqual(float a, float b) { return qFuzzyCompare(a, b); }
    // Zero in the absolute sense: v + 1 compares equal to 1.
    static bool fuzzyZero(double v) { return qFuzzyCompare(v + 1.0, 1.0); }
    static bool fuzzyZero(float v) { return qFuzzyCompare(v + 1.0f, 1.0f); }

    quint32 level = 0;

protected:
    ~bd() = default;
};
