#pragma once

#include <QTextDocument>

// The document given to a text annotation whose HTML comes from a notes file. HTML from a file
// must not make the program read other files: an image reference such as <img src="/dev/zero">
// would otherwise be loaded from the local file system when the text is laid out. Only inline
// data and the program's own resources are loaded.
//
// setNotesHtml() also settles what the HTML writer cannot give back: a colour the HTML names in a
// way the toolkit cannot parse (for example "color:@#00ff00") is held as an invalid colour, drawn
// black and written back as #000000, so a saved file would read differently from the one opened.
// Such colours become the black they are drawn in.
class NotesTextDocument : public QTextDocument
{
    Q_OBJECT

public:
    explicit NotesTextDocument(QObject *parent = nullptr);

    void setNotesHtml(const QString &html);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};
