#include "resources/appicon.h"

QIcon quillApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/quillmark-%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/icons/quillmark.png"), QSize(256, 256));
    return icon;
}
