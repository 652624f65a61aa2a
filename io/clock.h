#pragma once

#include <QDateTime>

#include <functional>

// The one source of "now" for everything that writes a date: page dates and the
// dates of result files. Tests and the command-line tool replace it.
namespace Clock {

using Source = std::function<QDateTime()>;

// Current local date and time from the installed source (the system clock by default).
QDateTime now();

// Installs a source; an empty function restores the system clock.
void setSource(Source source);

// Installs a fixed time for as long as the guard lives; restores the previous source after.
class ScopedFixedTime
{
public:
    explicit ScopedFixedTime(const QDateTime &fixed);
    ~ScopedFixedTime();
    ScopedFixedTime(const ScopedFixedTime &) = delete;
    ScopedFixedTime &operator=(const ScopedFixedTime &) = delete;

private:
    Source previous;
};

} // namespace Clock
