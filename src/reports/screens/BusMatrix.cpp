#include "reports/screens/BusMatrix.h"

#include "data/session/Class1.h"
#include "reports/BuildSeatChart.h"
#include "reports/screens/ReportViews.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

BusMatrix::BusMatrix(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("BusMatrix"));
    setWindowTitle(QStringLiteral("Bus Matrix"));
    Label1 = new QLabel(QStringLiteral("Bus Instance ID"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtIID = new QLineEdit(this);
    txtIID->setObjectName(QStringLiteral("txtIID"));
    Label2 = new QLabel(QStringLiteral("Enter the bus Instance ID to get its seat Matrix"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Command1 = new QPushButton(QStringLiteral("Show Matrix"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtIID, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(Label2);
    top->addStretch();
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}

void BusMatrix::Command1_Click()
{
    if (!DbSession)
        return;
    const nbk::reports::SeatChartOutcome o = nbk::reports::buildSeatChart(*DbSession, txtIID->text());
    if (o.message) {
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
        return;
    }
    nbk::reports::showSeatMatrix(o.chart);
    close();
}
