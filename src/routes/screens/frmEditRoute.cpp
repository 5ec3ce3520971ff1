#include "routes/screens/frmEditRoute.h"

#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "routes/RoutesThroughPlace.h"
#include "ui/Notices.h"
#include "routes/screens/OpenRouteForChange.h"
#include "routes/screens/dlgRouteSelect.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *label(QWidget *parent, const char *name, const char *text)
{
    auto *l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
}  // namespace

frmEditRoute::frmEditRoute(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmEditRoute"));
    setWindowTitle(QStringLiteral("Select Route"));
    RID = new QLineEdit(this);
    RID->setObjectName(QStringLiteral("RID"));
    Place = new QLineEdit(this);
    Place->setObjectName(QStringLiteral("Place"));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout;
    grid->addWidget(label(this, "Label2", "Route ID"), 0, 0);
    grid->addWidget(RID, 0, 1);
    grid->addWidget(label(this, "Label3", "Containing the  Place:"), 1, 0);
    grid->addWidget(Place, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(label(this, "Label1", "Enter the search criteria for the route."));
    top->addLayout(grid);
    top->addWidget(label(this, "Label4", ">> Please fill alteast one complete choice."));
    top->addWidget(label(this, "Label5", ">> Please use full official names of segments or the place."));
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}

void frmEditRoute::Command1_Click()
{
    if (!RID->text().isEmpty()) {
        qint16 id = 0;
        if (!routeNumber16(RID->text(), id)) {
            nbk::ui::MsgBox(QStringLiteral("Invalid Route ID"), nbk::mb::Critical | nbk::mb::OKOnly);
            RID->setFocus();
            return;
        }
        if (openRouteForChange(id) != -2)
            close();
        return;
    }
    if (!Place->text().isEmpty()) {
        searchByPlace();
        return;
    }
    close();
}

void frmEditRoute::searchByPlace()
{
    if (!DbSession)
        return;
    const nbk::routes::RoutesThroughPlace found = nbk::routes::routesThroughPlace(*DbSession, Place->text());
    nbk::showNotices(found.notices);
    if (found.focus == nbk::Focus::SearchPlace)
        Place->setFocus();
    if (found.routes.isEmpty())
        return;
    if (auto *dlg = qobject_cast<dlgRouteSelect *>(nbk::openScreen(QStringLiteral("dlgRouteSelect")))) {
        dlg->cmbRouteID->clear();
        for (const qint64 route : found.routes)
            dlg->cmbRouteID->addItem(QString::number(route));
        dlg->cmbRouteID->setCurrentIndex(0);
    }
    close();
}
