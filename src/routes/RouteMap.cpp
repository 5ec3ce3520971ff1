#include "routes/RouteMap.h"

#include <QGridLayout>
#include <QToolButton>

namespace {
const char *const kSpots[] = {"Bangalore", "Belgaum", "Bellary", "Bidar", "Bijapur", "Chickmagalur",
                              "Chitradurga", "Davangere", "Dharwad", "Gulbarga", "Hampi", "Hassan",
                              "Kadur", "Karwar", "Kolar", "Mandya", "Mangalore", "Mercara",
                              "Mysore", "NandiHills", "Raichur", "Shimoga", "Tumkur", "Hubli"};
}

RouteMap::RouteMap(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("map"));
    auto *g = new QGridLayout(this);
    int i = 0;
    for (const char *name : kSpots) {
        auto *b = new QToolButton(this);
        const QString n = QString::fromLatin1(name);
        b->setObjectName(n);
        b->setToolTip(n);
        b->setAutoRaise(true);
        g->addWidget(b, i / 6, i % 6);
        if (n != QLatin1String("Hubli"))
            connect(b, &QToolButton::clicked, this, [this, n] { emit spotClicked(n); });
        ++i;
    }
}

QAbstractButton *RouteMap::spot(const QString &name) const
{
    return findChild<QAbstractButton *>(name, Qt::FindDirectChildrenOnly);
}

QStringList RouteMap::spotNames() const
{
    QStringList names;
    for (const char *name : kSpots)
        names << QString::fromLatin1(name);
    return names;
}

void RouteMap::showSequence(const QStringList &placeNames)
{
    sequence_ = placeNames;
    update();
}
