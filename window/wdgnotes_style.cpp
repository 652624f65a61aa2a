// Drawing style controls: font, emphasis, colours, line width and line style.

#include "window/wdgnotes.h"

#include "scene/notesconstants.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontComboBox>
#include <QMenu>
#include <QPainter>

namespace {

struct NamedColor
{
    const char *name;
    Qt::GlobalColor color;
};

constexpr NamedColor MenuColors[] = {
    {QT_TRANSLATE_NOOP("WdgNotes", "black"), Qt::black},
    {QT_TRANSLATE_NOOP("WdgNotes", "white"), Qt::white},
    {QT_TRANSLATE_NOOP("WdgNotes", "red"), Qt::red},
    {QT_TRANSLATE_NOOP("WdgNotes", "blue"), Qt::blue},
    {QT_TRANSLATE_NOOP("WdgNotes", "yellow"), Qt::yellow},
    {QT_TRANSLATE_NOOP("WdgNotes", "green"), Qt::green},
    {QT_TRANSLATE_NOOP("WdgNotes", "magenta"), Qt::magenta},
    {QT_TRANSLATE_NOOP("WdgNotes", "cyan"), Qt::cyan},
    {QT_TRANSLATE_NOOP("WdgNotes", "gray"), Qt::gray},
};

struct NamedStyle
{
    const char *name;
    Qt::PenStyle style;
};

constexpr NamedStyle MenuStyles[] = {
    {"SolidLine", Qt::SolidLine},
    {"DashLine", Qt::DashLine},
    {"DotLine", Qt::DotLine},
    {"DashDotLine", Qt::DashDotLine},
    {"DashDotDotLine", Qt::DashDotDotLine},
};

constexpr int MenuWidths[] = {1, 3, 5, 7, 9, 11};

QPen blackPen(int width, Qt::PenStyle style)
{
    return QPen(QBrush(Qt::black, Qt::SolidPattern), width, style, Qt::SquareCap, Qt::BevelJoin);
}

QIcon sampleLineIcon(int width, Qt::PenStyle style)
{
    QPixmap pixmap(40, 20);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(blackPen(width, style));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(0, 10, 40, 10);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

void WdgNotes::createStyleControls()
{
    fontCombo = new QFontComboBox(this);
    fontCombo->setObjectName(QStringLiteral("fontCombo"));
    fontCombo->setMaximumWidth(100);
    connect(fontCombo, &QFontComboBox::currentFontChanged, this, &WdgNotes::currentFontChanged);

    fontSizeCombo = new QComboBox(this);
    fontSizeCombo->setObjectName(QStringLiteral("fontSizeCombo"));
    for (int size = 8; size <= 40; size += 2)
        fontSizeCombo->addItem(QString::number(size));
    fontSizeCombo->setCurrentIndex(0);
    connect(fontSizeCombo, &QComboBox::currentIndexChanged, this, &WdgNotes::fontSizeChanged);

    boldAction = new QAction(QIcon(QStringLiteral(":/Images/Images/bold.png")), tr("Bold"), this);
    boldAction->setObjectName(QStringLiteral("boldAction"));
    boldAction->setCheckable(true);
    connect(boldAction, &QAction::triggered, this, &WdgNotes::handleFontChanged);

    italicAction = new QAction(QIcon(QStringLiteral(":/Images/Images/italic.png")), tr("Italic"), this);
    italicAction->setObjectName(QStringLiteral("italicAction"));
    italicAction->setCheckable(true);
    connect(italicAction, &QAction::triggered, this, &WdgNotes::handleFontChanged);

    underlineAction =
        new QAction(QIcon(QStringLiteral(":/Images/Images/underline.png")), tr("Underline"), this);
    underlineAction->setObjectName(QStringLiteral("underlineAction"));
    underlineAction->setCheckable(true);
    connect(underlineAction, &QAction::triggered, this, &WdgNotes::handleFontChanged);

    textColorAction = new QAction(this);
    textColorAction->setObjectName(QStringLiteral("textColorAction"));
    textColorAction->setToolTip(tr("TextColor"));
    textColorAction->setIcon(createColorActionIcon(QStringLiteral(":/textpointer.png"), Qt::black));
    textColorAction->setMenu(createColorMenu(textColorAction, Qt::black));
    connect(textColorAction->actionGroup(), &QActionGroup::triggered, this, &WdgNotes::fontColorChanged);

    figureColorAction = new QAction(this);
    figureColorAction->setObjectName(QStringLiteral("figureColorAction"));
    figureColorAction->setToolTip(tr("Figure Color"));
    figureColorAction->setIcon(createColorActionIcon(QStringLiteral(":/linecolor.png"), Qt::black));
    figureColorAction->setMenu(createColorMenu(figureColorAction, Qt::black));
    connect(figureColorAction->actionGroup(), &QActionGroup::triggered, this, &WdgNotes::arrowColorChanged);

    lineWidthAction = new QAction(this);
    lineWidthAction->setObjectName(QStringLiteral("lineWidthAction"));
    lineWidthAction->setToolTip(tr("LineWidth"));
    lineWidthAction->setIcon(createLinewidthActionIcon(QString(), 1));
    lineWidthAction->setMenu(createLineWidthMenu(3));

    lineStyleAction = new QAction(this);
    lineStyleAction->setObjectName(QStringLiteral("lineStyleAction"));
    lineStyleAction->setToolTip(tr("LineStyle"));
    lineStyleAction->setIcon(createLinestyleActionIcon(QString(), Qt::SolidLine));
    lineStyleAction->setMenu(createLineStyleMenu(Qt::SolidLine));
}

QMenu *WdgNotes::createColorMenu(QAction *button, const QColor &defaultColor)
{
    // The button itself is in the group, so clicking it runs the colour slot with its own action.
    auto *group = new QActionGroup(button);
    group->setExclusive(true);
    group->addAction(button);

    auto *menu = new QMenu(this);
    for (const NamedColor &entry : MenuColors) {
        const QColor color(entry.color);
        auto *action = new QAction(tr(entry.name), menu);
        action->setData(color);
        action->setIcon(createColorIcon(color));
        group->addAction(action);
        menu->addAction(action);
        if (color == defaultColor)
            menu->setDefaultAction(action);
    }
    return menu;
}

QMenu *WdgNotes::createLineWidthMenu(int defaultWidth)
{
    auto *menu = new QMenu(this);
    for (int width : MenuWidths) {
        auto *action = new QAction(QStringLiteral("%1pix").arg(width), menu);
        action->setData(width);
        action->setIcon(sampleLineIcon(width, Qt::SolidLine));
        connect(action, &QAction::triggered, this, &WdgNotes::lineWidthChanged);
        menu->addAction(action);
        if (width == defaultWidth)
            menu->setDefaultAction(action);
    }
    return menu;
}

QMenu *WdgNotes::createLineStyleMenu(Qt::PenStyle defaultStyle)
{
    auto *menu = new QMenu(this);
    for (const NamedStyle &entry : MenuStyles) {
        auto *action = new QAction(QLatin1String(entry.name), menu);
        action->setData(int(entry.style));
        action->setIcon(sampleLineIcon(3, entry.style));
        connect(action, &QAction::triggered, this, &WdgNotes::lineStyleChanged);
        menu->addAction(action);
        if (entry.style == defaultStyle)
            menu->setDefaultAction(action);
    }
    return menu;
}

QIcon WdgNotes::createColorActionIcon(QString imageFile, QColor color)
{
    QPixmap pixmap(50, 80);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(0, 60, 50, 20), color);
    const QPixmap image(imageFile);
    painter.drawPixmap(QRect(4, 0, 42, 43), image, QRect(0, 0, 42, 43));
    painter.end();
    return QIcon(pixmap);
}

QIcon WdgNotes::createLinewidthActionIcon(QString, int width)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(blackPen(width, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(0, 15, 32, 15);
    painter.end();
    return QIcon(pixmap);
}

QIcon WdgNotes::createLinestyleActionIcon(QString, Qt::PenStyle style)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(blackPen(3, style));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(0, 16, 32, 16);
    painter.end();
    return QIcon(pixmap);
}

QIcon WdgNotes::createColorIcon(QColor color)
{
    QPixmap pixmap(20, 20);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRect(0, 0, 20, 20), color);
    painter.end();
    return QIcon(pixmap);
}

void WdgNotes::arrowColorChanged(QAction *act)
{
    if (!act)
        return;
    const QColor color = act->data().value<QColor>();
    figureColorAction->setIcon(createColorActionIcon(QStringLiteral(":/linecolor.png"), color));
    if (NotesScene *scene = currentScene())
        scene->setLineColor(color);
}

void WdgNotes::fontColorChanged(QAction *act)
{
    if (!act)
        return;
    const QColor color = act->data().value<QColor>();
    textColorAction->setIcon(createColorActionIcon(QStringLiteral(":/textpointer.png"), color));
    if (NotesScene *scene = currentScene())
        scene->setTextColor(color);
}

void WdgNotes::textColorChanged()
{
    fontColorChanged(qobject_cast<QAction *>(sender()));
}

void WdgNotes::lineWidthChanged()
{
    auto *action = qobject_cast<QAction *>(sender());
    NotesScene *scene = currentScene();
    if (!action || !scene)
        return;
    const int width = action->data().toInt();
    scene->setLineWidth(width);
    lineWidthAction->setIcon(createLinewidthActionIcon(QString(), width));
}

void WdgNotes::lineStyleChanged()
{
    auto *action = qobject_cast<QAction *>(sender());
    NotesScene *scene = currentScene();
    if (!action || !scene)
        return;
    const auto style = static_cast<Qt::PenStyle>(action->data().toInt());
    scene->setLineStyle(style);
    lineStyleAction->setIcon(createLinestyleActionIcon(QString(), style));
}

void WdgNotes::currentFontChanged(QFont)
{
    handleFontChanged();
}

void WdgNotes::fontSizeChanged(int)
{
    handleFontChanged();
}

void WdgNotes::handleFontChanged()
{
    QFont font = fontCombo->currentFont();
    font.setPointSize(fontSizeCombo->currentText().toInt());
    font.setWeight(boldAction->isChecked() ? QFont::Bold : QFont::Normal);
    font.setItalic(italicAction->isChecked());
    font.setUnderline(underlineAction->isChecked());

    NotesScene *scene = currentScene();
    if (!scene)
        return;
    scene->setFont(font);
    const QList<QGraphicsItem *> selected = scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (item->type() != Notes::TextType)
            continue;
        if (auto *text = dynamic_cast<NotesTextItem *>(item)) {
            text->setFont(font);
            text->update();
        }
    }
}

void WdgNotes::itemSelected(QGraphicsItem *item)
{
    if (!item || item->type() != Notes::TextType || !item->isSelected())
        return;
    auto *text = dynamic_cast<NotesTextItem *>(item);
    if (!text)
        return;

    const QFont font = text->font();
    const QSignalBlocker blockFamily(fontCombo);
    const QSignalBlocker blockSize(fontSizeCombo);
    fontCombo->setCurrentFont(font);
    // A size that is not in the list leaves the box as it is.
    const int sizeIndex = fontSizeCombo->findText(QString::number(font.pointSize()));
    if (sizeIndex >= 0)
        fontSizeCombo->setCurrentIndex(sizeIndex);
    boldAction->setChecked(font.weight() == QFont::Bold);
    italicAction->setChecked(font.style() != QFont::StyleNormal);
    underlineAction->setChecked(font.underline());
}
