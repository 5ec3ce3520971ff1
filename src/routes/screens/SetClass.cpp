#include "routes/screens/SetClass.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "routes/screens/RouteWizard.h"
#include "routes/StoreSchedule.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kClasses[] = {"Shuttle:", "Express", "Semi - Luxury", "Luxury", "Air Bus"};
const char *const kColumns[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Everyday"};
}  // namespace

SetClass::SetClass(RouteWizard *wizard, QWidget *parent) : nbk::ui::Screen(parent), wizard_(wizard)
{
    setObjectName(QStringLiteral("SetClass"));
    setWindowTitle(QStringLiteral("Set Class"));
    auto *heading = new QLabel(QStringLiteral("Select the type of buses that ply on individual days"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    auto *grid = new QGridLayout;
    for (int d = 1; d <= 8; ++d)
        grid->addWidget(new QLabel(QString::fromLatin1(kColumns[d - 1]), this), 0, d, Qt::AlignHCenter);
    for (int c = 0; c < 5; ++c) {
        grid->addWidget(new QLabel(QString::fromLatin1(kClasses[c]), this), c + 1, 0);
        for (int d = 1; d <= 8; ++d) {
            auto *box = new QCheckBox(this);
            const int index = nbk::routes::classBox(c, d);
            box->setObjectName(QStringLiteral("Check1"));
            box->setProperty("index", index);
            Check1[size_t(index)] = box;
            grid->addWidget(box, c + 1, d, Qt::AlignHCenter);
        }
    }
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Start over"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("Make changes from the start."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addLayout(grid);
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (wizard_)
            wizard_->backToEntry(this);
    });
    nbk::ui::setDialogKeys(this, Command1, nullptr);
}

void SetClass::Command1_Click()
{
    if (!wizard_ || !DbSession)
        return;
    RouteWizard &w = *wizard_;
    if (!w.isOpen()) {
        w.backToEntry(this);
        return;
    }
    std::array<bool, 40> ticked{};
    std::array<bool, 40> enabled{};
    for (size_t i = 0; i < Check1.size(); ++i) {
        ticked[i] = Check1[i]->isChecked();
        enabled[i] = Check1[i]->isEnabled();
    }
    if (!w.show(nbk::routes::storeClasses(*DbSession, w.editing(), w.routeId(), ticked, enabled), this))
        return;
    try {
        w.commit();
    } catch (const nbk::data::DbException &e) {
        w.show(nbk::routes::databaseFailure(e.error().description), this);
        return;
    }
    nbk::ui::MsgBox(nbk::routes::completionText(w.editing(), w.routeId()), nbk::mb::Information | nbk::mb::OKOnly,
                    QStringLiteral("Information"));
    w.closeAll();
}

void SetClass::onClosed()
{
    if (wizard_)
        wizard_->closeAll();
}
