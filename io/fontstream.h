#pragma once

// QFont in the stream form that every build of this program writes, whatever toolkit it is built
// on. From stream version 21 newer toolkits append the font's OpenType features (quint32 count,
// then quint32 tag and quint32 value per entry) and from version 22 its variable axes (quint32
// count, then quint32 tag and a double, or a float in single-precision mode, per entry). Qt 6.4
// knows neither: it writes and reads only the part up to the families list. Here the tail is
// kept as opaque bytes beside the font, so a font read from a file written by a newer build is
// written again unchanged, and fonts made here get empty maps.
//
// Reading never trusts a count: every length is checked against the bytes left on the device
// before anything is allocated or looped over, so damaged input ends with an error status.

#include <QByteArray>
#include <QFont>

class QDataStream;

namespace FontStream {

// The tail of a font without features or axes at the stream's version and precision
// (8 zero bytes at version 22 and later).
QByteArray emptyTail(const QDataStream &stream);

// Writes font, then tail. An empty tail writes the empty maps; a tail is only written at stream
// version 22 or later (earlier versions get the empty maps they know, or none).
void write(QDataStream &out, const QFont &font, const QByteArray &tail = QByteArray());

// Reads one font and its tail (the raw bytes after the families list, empty when the stream
// version has none). The stream's device must be random-access (size() and seek()). On damage
// returns false and leaves the stream in ReadPastEnd or ReadCorruptData status; font and tail
// are then unspecified. A tail that equals the empty maps is returned empty.
bool read(QDataStream &in, QFont &font, QByteArray &tail);

} // namespace FontStream
