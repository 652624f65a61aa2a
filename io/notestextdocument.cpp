#include "notestextdocument.h"

#include <QUrl>

NotesTextDocument::NotesTextDocument(QObject *parent)
    : QTextDocument(parent)
{
}

QVariant NotesTextDocument::loadResource(int type, const QUrl &name)
{
    const QString scheme = name.scheme().toLower();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("qrc") ||
        (scheme.isEmpty() && name.path().startsWith(QLatin1Char(':'))))
        return QTextDocument::loadResource(type, name);
    return QVariant();
}
