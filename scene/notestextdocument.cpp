#include "notestextdocument.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include <tuple>

NotesTextDocument::NotesTextDocument(QObject *parent)
    : QTextDocument(parent)
{
}

namespace {

// Sets every brush of the format whose colour is invalid to black; true when one was set.
bool settleBrushes(QTextFormat &format, std::initializer_list<int> properties)
{
    bool changed = false;
    for (const int property : properties) {
        if (!format.hasProperty(property))
            continue;
        QBrush brush = format.brushProperty(property);
        if (brush.style() != Qt::NoBrush && !brush.color().isValid()) {
            brush.setColor(Qt::black);
            format.setProperty(property, brush);
            changed = true;
        }
    }
    return changed;
}

} // namespace

void NotesTextDocument::setNotesHtml(const QString &html)
{
    setHtml(html);
    // Collected first and changed afterwards: a changed format may merge fragments.
    QList<std::pair<int, QTextBlockFormat>> blocks;
    QList<std::tuple<int, int, QTextCharFormat>> fragments;
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        if (settleBrushes(blockFormat, {QTextFormat::BackgroundBrush, QTextFormat::ForegroundBrush}))
            blocks.append({block.position(), blockFormat});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat charFormat = fragment.charFormat();
            if (settleBrushes(charFormat, {QTextFormat::ForegroundBrush, QTextFormat::BackgroundBrush}))
                fragments.append({fragment.position(), fragment.length(), charFormat});
        }
    }
    QTextCursor cursor(this);
    for (const auto &[position, format] : blocks) {
        cursor.setPosition(position);
        cursor.setBlockFormat(format);
    }
    for (const auto &[position, length, format] : fragments) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(format);
    }
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
