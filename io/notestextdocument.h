#pragma once

#include <QTextDocument>

// The document given to a text annotation whose HTML comes from a notes file. HTML from a file
// must not make the program read other files: an image reference such as <img src="/dev/zero">
// would otherwise be loaded from the local file system when the text is laid out. Only inline
// data and the program's own resources are loaded.
class NotesTextDocument : public QTextDocument
{
    Q_OBJECT

public:
    explicit NotesTextDocument(QObject *parent = nullptr);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};
