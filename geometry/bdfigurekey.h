#pragma once

#include <QtGlobal>

// Key of a figure handed to the stroke buffer: its place in the merge order and its line
// width. Keys compare by `order` alone, so a second figure under the same order replaces
// the first and the stored width stays.
struct bdFigureKey
{
    qint32 order = 0;
    float width = 0.0f;

    friend bool operator<(const bdFigureKey &a, const bdFigureKey &b) { return a.order < b.order; }
    friend bool operator==(const bdFigureKey &a, const bdFigureKey &b) { return a.order == b.order; }
    friend bool operator!=(const bdFigureKey &a, const bdFigureKey &b) { return a.order != b.order; }
};
