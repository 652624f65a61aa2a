#include "geometry/bdobject.h"

#include <QTextStream>

bdObject::~bdObject() = default;

void bdObject::indentLine(QTextStream &stream, quint32 indent)
{
    stream << '\n';
    for (quint32 i = 0; i < indent; ++i)
        stream << ' ';
}
