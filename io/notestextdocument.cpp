#include "notestextdocument.h"

#include <QImage>
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
    if (type == QTextDocument::ImageResource) {
        // A null answer would make the image handler load the name from disk itself; a blank
        // stand-in keeps the layout without touching the file.
        QImage blank(1, 1, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        return blank;
    }
    return QVariant();
}
