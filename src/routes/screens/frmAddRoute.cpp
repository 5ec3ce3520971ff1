#include "routes/screens/frmAddRoute.h"

#include "common/Globals.h"
#include "ui/prompt/Prompt.h"
#include "routes/screens/RouteMap.h"
#include "routes/screens/RouteWizard.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/StoreRoute.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using nbk::routes::Outcome;

namespace {

const char *const kEstimated = "Auto Estimated by Average Kmph ";

QLineEdit *edit(QWidget *parent, const char *name, const char *tip = nullptr)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (tip)
        e->setToolTip(QString::fromLatin1(tip));
    return e;
}

QLabel *label(QWidget *parent, const char *name, const char *text)
{
    auto *l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// What a city's spot appends: on an empty sequence, and after other places.
struct SpotText {
    QString first;
    QString next;
};

SpotText spotText(const QString &city)
{
    if (city == QLatin1String("Bijapur"))
        return {QStringLiteral("Bijapur "), QStringLiteral(",Bijapur")};
    if (city == QLatin1String("Mercara"))
        return {QStringLiteral("Mercera"), QStringLiteral(",Mercera")};
    if (city == QLatin1String("NandiHills"))
        return {QStringLiteral("Nandi Hills"), QStringLiteral(",Nandi Hills")};
    return {city, QLatin1Char(',') + city};
}

}  // namespace

frmAddRoute::frmAddRoute(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmAddRoute"));
    wizard_ = new RouteWizard(RouteEditMode, CurrentRouteId, this);
    wizard_->entry = this;

    txtr = edit(this, "txtr",
                "For a bus from Bangalore to Arsikere, an example route sequence entry will be Bangalore, Tumkur, "
                "Arsikere");
    txtk = edit(this, "txtk",
                "For example, if route seq is Bangalore-Tumkur-Arsikere  Then  entry here will be:  100,150");
    Text5 = edit(this, "Text5",
                 "Optional: the places' names in Kannada, in the order of the route sequence and separated by "
                 "commas, printed beside the English names on tickets and manifests. Leave an item empty to keep "
                 "the place's Kannada name as it is");
    Text1 = edit(this, "Text1", "Example: Chamundi Express or Coastal Special. Leave free if name is unknown");
    Text1->setMaxLength(nbk::routes::kMaxRouteName);
    Text2 = edit(this, "Text2");
    Text3 = edit(this, "Text3");
    // the estimate's text is read whole, from its first letter
    Text3->setMinimumWidth(Text3->fontMetrics().horizontalAdvance(QString::fromLatin1(kEstimated)) + 16);
    chkEst = new QCheckBox(QStringLiteral("Auto estimate at"), this);
    chkEst->setObjectName(QStringLiteral("chkEst"));
    Text4 = edit(this, "Text4");
    Text4->setMaximumWidth(80);
    Label10 = label(this, "Label10", "KM/Hr");
    cmbfpi = new QComboBox(this);
    cmbfpi->setObjectName(QStringLiteral("cmbfpi"));
    ok = new QPushButton(QStringLiteral("Next >>"), this);
    ok->setObjectName(QStringLiteral("ok"));
    cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    map = new RouteMap(this);
    map->setObjectName(QStringLiteral("map"));

    auto *heading = label(this, "Label1", "Adding Routes:");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto *grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char *name, const char *text, QWidget *field) {
        grid->addWidget(label(this, name, text), row, 0);
        grid->addWidget(field, row++, 1, 1, 3);
    };
    addRow("Label2", "Route Sequence:", txtr);
    addRow("Label11", "Kannada names of the places (optional):", Text5);
    addRow("Label3", "Kilometers between each segment:", txtk);
    addRow("Label4", "Name of the bus route:", Text1);
    addRow("Label5", "Average time spent at each stop (Minutes):", Text2);
    addRow("Label6", "Total time of journey (Minutes)", Text3);
    grid->addWidget(chkEst, row, 1);
    grid->addWidget(Text4, row, 2);
    grid->addWidget(Label10, row++, 3);
    addRow("Label7", "Fuel comsumption for this route", cmbfpi);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *left = new QVBoxLayout;
    left->addWidget(heading);
    left->addWidget(label(this, "Label8", "*  Use the full official names of the places"));
    left->addWidget(label(this, "Label9", "*  Separate each stop by a comma"));
    left->addLayout(grid);
    left->addStretch();
    left->addLayout(buttons);
    auto *top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addWidget(map, 1);

    connect(map, &RouteMap::spotClicked, this, [this](const QString &city) { spot_Click(city); });
    connect(txtr, &QLineEdit::textChanged, this, [this] { txtr_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    connect(chkEst, &QCheckBox::clicked, this, [this] { chkEst_Click(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(ok, &QPushButton::clicked, this, [this] { ok_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, ok, cancel);
    Form_Load();
}

void frmAddRoute::Form_Load()
{
    setWindowTitle(wizard_->editing() ? QStringLiteral("Editing Route no. ") + QString::number(wizard_->routeId())
                                      : QStringLiteral("Add New Route"));
    if (auto *heading = findChild<QLabel *>(QStringLiteral("Label1")))
        heading->setText(wizard_->editing() ? QStringLiteral("Editing Routes:") : QStringLiteral("Adding Routes:"));
    cmbfpi->clear();
    cmbfpi->addItems({QStringLiteral("Normal Consumption"), QStringLiteral("Moderate Consumption"),
                      QStringLiteral("Heavy Consumption")});
    cmbfpi->setCurrentIndex(1);

    // the later steps wait hidden until Next >> brings them up
    auto *f = new SetFrequency(wizard_);
    f->setAttribute(Qt::WA_DeleteOnClose);
    wizard_->frequency = f;
    auto *c = new SetClass(wizard_);
    c->setAttribute(Qt::WA_DeleteOnClose);
    wizard_->classes = c;
}

SetFrequency *frmAddRoute::frequency() const { return wizard_->frequency; }
SetClass *frmAddRoute::classes() const { return wizard_->classes; }

void frmAddRoute::spot_Click(const QString &city)
{
    if (city == QLatin1String("Hubli") || !map->spotNames().contains(city))
        return;
    const SpotText t = spotText(city);
    txtr->setText(txtr->text().isEmpty() ? t.first : txtr->text() + t.next);
}

void frmAddRoute::txtr_Change()
{
    txtr->setFocus();
    map->showSequence(nbk::routes::sequencePlaces(txtr->text()));
}

void frmAddRoute::setEstimateControls(bool enabled)
{
    chkEst->setEnabled(enabled);
    Text4->setEnabled(enabled);
    Label10->setEnabled(enabled);
}

void frmAddRoute::showEstimate()
{
    Text3->setText(QString::fromLatin1(kEstimated));
    Text3->setCursorPosition(0);
}

void frmAddRoute::Text3_Change() { setEstimateControls(Text3->text().isEmpty()); }

void frmAddRoute::chkEst_Click()
{
    if (chkEst->isChecked()) {
        showEstimate();
        Text3->setEnabled(false);
    } else {
        // clearing the speed must not tick the estimate again
        clearing_ = true;
        Text3->setEnabled(true);
        Text3->clear();
        Text4->clear();
        chkEst->setChecked(false);
        clearing_ = false;
    }
    setEstimateControls(true);
}

void frmAddRoute::Text4_Change()
{
    if (clearing_)
        return;
    chkEst->setChecked(true);
    showEstimate();
    setEstimateControls(true);
    Text3->setEnabled(false);
    Text4->setFocus();
}

void frmAddRoute::ok_Click()
{
    RouteWizard &w = *wizard_;
    nbk::routes::RouteEntry entry;
    entry.sequence = txtr->text();
    entry.kms = txtk->text();
    entry.stopTime = Text2->text();
    entry.travelTime = Text3->text();
    entry.speed = Text4->text();
    entry.estimate = !Text3->isEnabled();
    entry.fpiPosition = cmbfpi->currentIndex();
    entry.name = Text1->text();
    entry.localNames = Text5->text();
    nbk::routes::CheckedRoute route;
    if (!w.show(nbk::routes::checkRoute(entry, route), this)) {
        // more Kannada names than places: the box to mend
        if (route.localNames.size() > route.places.size())
            Text5->setFocus();
        return;
    }
    // a pass left behind (this screen shown again from the menu) is undone first
    for (QWidget *later : {static_cast<QWidget *>(w.frequency.data()), static_cast<QWidget *>(w.classes.data())})
        nbk::ui::hideChildWindow(later);
    if (!DbSession || !w.begin())
        return;

    nbk::routes::ResolvedRoute resolved;
    if (!w.show(nbk::routes::resolvePlaces(*DbSession, route, resolved), this)) {
        w.rollback();
        return;
    }
    if (!w.show(nbk::routes::useStoredDistances(route, resolved), this)) {
        w.rollback();
        return;
    }
    if (nbk::routes::sameStartAndEnd(route)) {
        w.rollback();
        nbk::ui::MsgBox(QStringLiteral("The start and end routes are same. Please add a separate route for the "
                                       "return Journey."),
                        nbk::mb::Critical | nbk::mb::Information, QStringLiteral("Error"));
        return;
    }
    if (nbk::ui::MsgBox(nbk::routes::confirmationText(w.editing(), w.routeId(), route, resolved.changed),
                        nbk::mb::Information | nbk::mb::OKCancel, QStringLiteral("Info")) == nbk::mb::Cancel) {
        w.rollback();
        return;
    }
    if (!w.show(nbk::routes::storePlaceLocalNames(*DbSession, route, resolved), this)) {
        w.rollback();
        return;
    }
    qint32 id = w.routeId();
    if (!w.show(nbk::routes::storeRoute(*DbSession, w.editing(), route, resolved, id), this)) {
        w.rollback();
        return;
    }
    w.setRouteId(id);
    CurrentRouteId = id;
    RouteWizard::moveOn(this, w.frequency);
}

void frmAddRoute::onClosed()
{
    if (wizard_)
        wizard_->closeAll();
}
