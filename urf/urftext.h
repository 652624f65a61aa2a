#pragma once

// Small text helpers shared by the result-file writer and reader.

#include <QString>

class QIODevice;

namespace UrfText {

// A text that goes into one line: every CR and every LF becomes one space, so that a record never
// spans lines. Nothing else is changed; the board-design tools read the files as they are.
QString oneLine(const QString &text);

// "{count spaces}".
QString indent(int count);

// A coordinate in the file's number form: 4 decimals when the version is above 4, otherwise the
// value × 100000 truncated towards zero and clamped to the 32-bit range (NaN gives 0).
QString coordinate(double value, int version);
// The integer RST form alone.
qint32 rstCoordinate(double value);

// Section k of a line (between the k-th and (k+1)-th comma).
QString section(const QString &line, int k);
// Text with every double quote removed.
QString unquoted(const QString &text);
// Section k with every double quote removed.
QString unquotedSection(const QString &line, int k);
// The text between the first and the second double quote of a line.
QString quotedName(const QString &line);

// One simplified line read from a device inside a device transaction, so that the reader can go
// back to the start of the line (putBack). keep() ends the transaction; it must be called before
// anything else reads from the device. The destructor keeps the line unless it was put back.
class Line
{
public:
    explicit Line(QIODevice *device);
    ~Line();
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;

    const QString &text() const { return m_text; }
    bool startsWith(const char *keyword) const;
    // Moves the device back to the start of this line.
    void putBack();
    // Consumes the line for good.
    void keep();

private:
    QIODevice *m_device;
    QString m_text;
};

} // namespace UrfText
