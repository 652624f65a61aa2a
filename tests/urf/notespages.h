#pragma once

// Builds note pages the way the window lays them out (io/pagemodel.h), for the export tests.

#include "io/dsvlayer.h"
#include "io/pagemodel.h"

#include <QList>
#include <QRectF>
#include <QStandardItemModel>
#include <QVariant>

namespace NotesPages {

inline void addPage(QStandardItemModel &model, const QString &title, const QVariant &viewRect,
                    const QList<DsvLayer> &layers = {})
{
    QList<QStandardItem *> row;
    row << new QStandardItem(title);
    auto *scene = new QStandardItem;
    if (viewRect.isValid())
        scene->setData(viewRect, Page::ViewRectRole);
    scene->setData(layerListToMap(layers), Page::LayerMapRole);
    row << scene << new QStandardItem(QStringLiteral("05.03.2024 09:07")) << new QStandardItem(QString());
    model.appendRow(row);
}

inline DsvLayer layer(const QString &name, int number = 0)
{
    DsvLayer l;
    l.name = name;
    l.number = number;
    return l;
}

// The two pages of the worked example.
inline void addExamplePages(QStandardItemModel &model)
{
    addPage(model, QStringLiteral("Via check"), QRectF(10, 20, 100, 50),
            {layer(QStringLiteral("Wiring1"), 1), layer(QStringLiteral("SilkTop"))});
    addPage(model, QString(), QRectF());
}

} // namespace NotesPages
