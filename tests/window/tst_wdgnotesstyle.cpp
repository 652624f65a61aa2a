// Drawing style controls of the notes window: colour, width and style menus with their drawn
// icons, the font controls, and what each choice does to the shown page.

#include "windowtesthelpers.h"

#include "scene/notesarrow.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDataWidgetMapper>
#include <QFontComboBox>
#include <QMenu>
#include <QUndoStack>

using namespace WindowTest;

class TestWdgNotesStyle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void colorMenus_data();
    void colorMenus();
    void widthAndStyleMenus();
    void drawnIcons();
    void figureColorRed();
    void textColorBlue();
    void colorButtonItselfGivesInvalidColor();
    void widthAppliesToNewItemsOnly();
    void withoutPageOnlyIconsChange();
    void selectingTextUpdatesFontControls_data();
    void selectingTextUpdatesFontControls();
    void sizeChangeReachesAllSelectedTexts();

private:
    NotesScene *scene() const { return qobject_cast<NotesScene *>(window->view()->scene()); }
    QAction *menuEntry(const char *button, const QString &text) const;
    static QImage iconImage(const QIcon &icon, const QSize &size) { return icon.pixmap(size).toImage(); }
    NotesTextItem *placeText(const QPointF &at, const QFont &font);

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesStyle::init()
{
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    addPage(*window, **dialogs);
}

void TestWdgNotesStyle::cleanup()
{
    QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    window.reset();
    dialogs.reset();
}

QAction *TestWdgNotesStyle::menuEntry(const char *button, const QString &text) const
{
    QMenu *menu = action(*window, button)->menu();
    if (!menu)
        return nullptr;
    const QList<QAction *> entries = menu->actions();
    for (QAction *a : entries) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

NotesTextItem *TestWdgNotesStyle::placeText(const QPointF &at, const QFont &font)
{
    auto *text = new NotesTextItem;
    text->setPlainText(QStringLiteral("R12"));
    text->setFont(font);
    text->setPos(at);
    scene()->addItem(text);
    // Showing the page connects the text items already on it, as for a page read from a file.
    window->drawScene(window->mapper()->currentIndex());
    return text;
}

void TestWdgNotesStyle::colorMenus_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("text colour") << "textColorAction";
    QTest::newRow("figure colour") << "figureColorAction";
}

void TestWdgNotesStyle::colorMenus()
{
    QFETCH(QString, button);
    QAction *buttonAction = action(*window, qPrintable(button));
    QMenu *menu = buttonAction->menu();
    QVERIFY(menu);
    const QStringList names = {"black", "white", "red", "blue", "yellow", "green", "magenta", "cyan", "gray"};
    const QList<Qt::GlobalColor> colors = {Qt::black, Qt::white,   Qt::red,  Qt::blue, Qt::yellow,
                                           Qt::green, Qt::magenta, Qt::cyan, Qt::gray};
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), names.size());
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i)->text(), names.at(i));
        QCOMPARE(entries.at(i)->data().value<QColor>(), QColor(colors.at(i)));
        QCOMPARE(entries.at(i)->actionGroup(), buttonAction->actionGroup());
        const QImage swatch = iconImage(entries.at(i)->icon(), QSize(20, 20));
        QCOMPARE(swatch.pixelColor(10, 10), QColor(colors.at(i)));
    }
    QCOMPARE(menu->defaultAction(), entries.first());
    QVERIFY(buttonAction->actionGroup()->isExclusive());
}

void TestWdgNotesStyle::widthAndStyleMenus()
{
    QMenu *widths = action(*window, "lineWidthAction")->menu();
    QMenu *styles = action(*window, "lineStyleAction")->menu();
    QStringList widthTexts;
    QList<int> widthData;
    for (QAction *a : widths->actions()) {
        widthTexts << a->text();
        widthData << a->data().toInt();
        QVERIFY(!a->actionGroup());
    }
    QCOMPARE(widthTexts, QStringList({"1pix", "3pix", "5pix", "7pix", "9pix", "11pix"}));
    QCOMPARE(widthData, QList<int>({1, 3, 5, 7, 9, 11}));
    QCOMPARE(widths->defaultAction()->text(), QString("3pix"));

    QStringList styleTexts;
    QList<int> styleData;
    for (QAction *a : styles->actions()) {
        styleTexts << a->text();
        styleData << a->data().toInt();
    }
    QCOMPARE(styleTexts, QStringList({"SolidLine", "DashLine", "DotLine", "DashDotLine", "DashDotDotLine"}));
    QCOMPARE(styleData, QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(styles->defaultAction()->text(), QString("SolidLine"));

    // Samples: 40 x 20, white, a black line across the middle.
    const QImage sample = iconImage(widths->actions().at(5)->icon(), QSize(40, 20));
    QCOMPARE(sample.pixelColor(20, 10), QColor(Qt::black));
    QCOMPARE(sample.pixelColor(20, 1), QColor(Qt::white));
}

void TestWdgNotesStyle::drawnIcons()
{
    const QImage color = iconImage(window->createColorIcon(Qt::magenta), QSize(20, 20));
    QCOMPARE(color.pixelColor(0, 0), QColor(Qt::magenta));
    QCOMPARE(color.pixelColor(19, 19), QColor(Qt::magenta));

    const QImage width = iconImage(window->createLinewidthActionIcon(QString(), 5), QSize(32, 32));
    QCOMPARE(width.pixelColor(16, 15), QColor(Qt::black));
    QCOMPARE(width.pixelColor(16, 13), QColor(Qt::black));
    QCOMPARE(width.pixelColor(16, 19).alpha(), 0);
    QCOMPARE(width.pixelColor(16, 2).alpha(), 0);

    // A dotted sample has gaps along its line, a solid one has none.
    auto gaps = [](const QImage &image, int y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).alpha() == 0 ? 1 : 0;
        return count;
    };
    QCOMPARE(gaps(iconImage(window->createLinestyleActionIcon(QString(), Qt::SolidLine), QSize(32, 32)), 16),
             0);
    QVERIFY(gaps(iconImage(window->createLinestyleActionIcon(QString(), Qt::DotLine), QSize(32, 32)), 16) >
            4);

    const QImage button =
        iconImage(window->createColorActionIcon(QStringLiteral(":/linecolor.png"), Qt::green), QSize(50, 80));
    QCOMPARE(button.size(), QSize(50, 80));
    QCOMPARE(button.pixelColor(25, 70), QColor(Qt::green));
    QCOMPARE(button.pixelColor(0, 79), QColor(Qt::green));
    QCOMPARE(button.pixelColor(25, 55).alpha(), 0);
    QCOMPARE(button.pixelColor(1, 20).alpha(), 0);
}

void TestWdgNotesStyle::figureColorRed()
{
    auto *arrow = new NotesArrow(QLineF(10, 10, 110, 10));
    scene()->addItem(arrow);
    arrow->setSelected(true);
    auto *rect = new NotesRectangleItem(QRectF(0, 50, 40, 40), Qt::black, 3, Qt::SolidLine);
    scene()->addItem(rect);

    menuEntry("figureColorAction", "red")->trigger();

    const QImage icon = iconImage(action(*window, "figureColorAction")->icon(), QSize(50, 80));
    QCOMPARE(icon.pixelColor(25, 70), QColor(Qt::red));
    QCOMPARE(icon, iconImage(window->createColorActionIcon(QStringLiteral(":/linecolor.png"), Qt::red),
                             QSize(50, 80)));
    QCOMPARE(scene()->lineColor(), QColor(Qt::red));
    QCOMPARE(arrow->color(), QColor(Qt::red));
    QCOMPARE(rect->color(), QColor(Qt::black));

    // New figures come out red.
    clickAction(*window, "addCircleAction");
    drag(window->view(), QPointF(200, 200), QPointF(230, 230));
    const QList<NotesCircleItem *> circles = itemsOf<NotesCircleItem>(scene());
    QCOMPARE(circles.size(), 1);
    QCOMPARE(circles.first()->color(), QColor(Qt::red));
}

void TestWdgNotesStyle::textColorBlue()
{
    menuEntry("textColorAction", "blue")->trigger();
    const QImage icon = iconImage(action(*window, "textColorAction")->icon(), QSize(50, 80));
    QCOMPARE(icon.pixelColor(25, 70), QColor(Qt::blue));
    QCOMPARE(scene()->textColor(), QColor(Qt::blue));
    QCOMPARE(scene()->lineColor(), QColor(Qt::black));
}

void TestWdgNotesStyle::colorButtonItselfGivesInvalidColor()
{
    menuEntry("figureColorAction", "red")->trigger();
    clickAction(*window, "figureColorAction");
    QVERIFY(!scene()->lineColor().isValid());
}

void TestWdgNotesStyle::widthAppliesToNewItemsOnly()
{
    clickAction(*window, "addRectangleAction");
    drag(window->view(), QPointF(20, 20), QPointF(80, 80));
    NotesRectangleItem *old = itemsOf<NotesRectangleItem>(scene()).value(0);
    QVERIFY(old);
    old->setSelected(true);

    menuEntry("lineWidthAction", "7pix")->trigger();
    menuEntry("lineStyleAction", "DotLine")->trigger();
    QCOMPARE(scene()->lineWidth(), 7);
    QCOMPARE(scene()->lineStyle(), Qt::DotLine);
    QCOMPARE(old->width(), 3);
    QCOMPARE(old->style(), Qt::SolidLine);
    QCOMPARE(iconImage(action(*window, "lineWidthAction")->icon(), QSize(32, 32)),
             iconImage(window->createLinewidthActionIcon(QString(), 7), QSize(32, 32)));

    scene()->clearSelection();
    clickAction(*window, "addRectangleAction");
    drag(window->view(), QPointF(200, 20), QPointF(260, 80));
    const QList<NotesRectangleItem *> rects = itemsOf<NotesRectangleItem>(scene());
    QCOMPARE(rects.size(), 2);
    QCOMPARE(rects.last()->width(), 7);
    QCOMPARE(rects.last()->style(), Qt::DotLine);
}

void TestWdgNotesStyle::withoutPageOnlyIconsChange()
{
    WdgNotes empty(QString(), 0);
    QAction *widthButton = action(empty, "lineWidthAction");
    const QImage widthBefore = iconImage(widthButton->icon(), QSize(32, 32));
    for (QAction *entry : widthButton->menu()->actions()) {
        if (entry->text() == QLatin1String("11pix"))
            entry->trigger();
    }
    QCOMPARE(iconImage(widthButton->icon(), QSize(32, 32)), widthBefore);

    QAction *figure = action(empty, "figureColorAction");
    for (QAction *entry : figure->menu()->actions()) {
        if (entry->text() == QLatin1String("cyan"))
            entry->trigger();
    }
    QCOMPARE(iconImage(figure->icon(), QSize(50, 80)).pixelColor(25, 70), QColor(Qt::cyan));

    empty.findChild<QComboBox *>("fontSizeCombo")->setCurrentIndex(3);
    QVERIFY(!empty.view()->scene());
}

void TestWdgNotesStyle::selectingTextUpdatesFontControls_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("sizeShown");
    QTest::newRow("12 bold") << 12 << true << false << "12";
    QTest::newRow("9 not listed") << 9 << false << true << "16";
}

void TestWdgNotesStyle::selectingTextUpdatesFontControls()
{
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, sizeShown);

    auto *sizes = window->findChild<QComboBox *>("fontSizeCombo");
    sizes->setCurrentIndex(sizes->findText("16"));
    QFont font(QStringLiteral("Serif"), pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    NotesTextItem *text = placeText(QPointF(50, 50), font);
    const QFont before = text->font();

    // Selecting by clicking on it, in "Select/Move".
    clickAt(window->view(), text->sceneBoundingRect().center());
    QVERIFY(text->isSelected());

    QCOMPARE(sizes->currentText(), sizeShown);
    QCOMPARE(action(*window, "boldAction")->isChecked(), bold);
    QCOMPARE(action(*window, "italicAction")->isChecked(), italic);
    QCOMPARE(action(*window, "underlineAction")->isChecked(), false);
    QCOMPARE(window->findChild<QFontComboBox *>("fontCombo")->currentFont().family(), font.family());
    // Following the selection never writes back into the item.
    QCOMPARE(text->font(), before);
}

void TestWdgNotesStyle::sizeChangeReachesAllSelectedTexts()
{
    NotesTextItem *a = placeText(QPointF(20, 20), QFont(QStringLiteral("Serif"), 10));
    NotesTextItem *b = placeText(QPointF(20, 120), QFont(QStringLiteral("Sans"), 14));
    NotesTextItem *unselected = placeText(QPointF(20, 220), QFont(QStringLiteral("Sans"), 14));
    a->setSelected(true);
    b->setSelected(true);

    clickAction(*window, "boldAction");
    QVERIFY(action(*window, "boldAction")->isChecked());
    auto *sizes = window->findChild<QComboBox *>("fontSizeCombo");
    sizes->setCurrentIndex(sizes->findText("24"));

    const QFont shown = window->findChild<QFontComboBox *>("fontCombo")->currentFont();
    for (NotesTextItem *text : {a, b}) {
        QCOMPARE(text->font().pointSize(), 24);
        QCOMPARE(text->font().weight(), QFont::Bold);
        QCOMPARE(text->font().family(), shown.family());
    }
    QCOMPARE(unselected->font().pointSize(), 14);
    QCOMPARE(scene()->font().pointSize(), 24);
    QCOMPARE(window->undoHistory()->count(), 0);
}

QTEST_MAIN(TestWdgNotesStyle)
#include "tst_wdgnotesstyle.moc"
