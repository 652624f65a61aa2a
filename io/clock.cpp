#include "io/clock.h"

#include <utility>

namespace Clock {
namespace {
Source &installed()
{
    static Source source;
    return source;
}
} // namespace

QDateTime now()
{
    const Source &source = installed();
    return source ? source() : QDateTime::currentDateTime();
}

void setSource(Source source)
{
    installed() = std::move(source);
}

ScopedFixedTime::ScopedFixedTime(const QDateTime &fixed)
    : previous(installed())
{
    installed() = [fixed] { return fixed; };
}

ScopedFixedTime::~ScopedFixedTime()
{
    installed() = std::move(previous);
}

} // namespace Clock
