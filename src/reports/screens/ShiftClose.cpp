#include "reports/screens/ShiftClose.h"

#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "reports/DayStatementQueries.h"
#include "reports/ShiftClose.h"
#include "ui/Keys.h"
#include "ui/Notices.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace nbk::reports;

ShiftClose::ShiftClose(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("ShiftClose"));
    setWindowTitle(QStringLiteral("Close Shift"));
    auto *grid = new QGridLayout;
    int row = 0;
    for (int d : kDenominations) {
        auto *label = new QLabel(QStringLiteral("\u20B9 %1").arg(d), this);
        auto *count = new QSpinBox(this);
        count->setObjectName(QStringLiteral("txtCount%1").arg(d));
        count->setRange(0, 99999);
        label->setBuddy(count);
        grid->addWidget(label, row % 5, 2 * (row / 5));
        grid->addWidget(count, row % 5, 2 * (row / 5) + 1);
        connect(count, &QSpinBox::valueChanged, this, [this] { recount(); });
        txtCount << count;
        ++row;
    }
    lblCounted = new QLabel(this);
    lblCounted->setObjectName(QStringLiteral("lblCounted"));
    txtDay = new QDateEdit(this);
    txtDay->setObjectName(QStringLiteral("txtDay"));
    txtDay->setDisplayFormat(QStringLiteral("dd MMM yyyy"));
    auto *dayLabel = new QLabel(QStringLiteral("Closes of"), this);
    dayLabel->setBuddy(txtDay);
    grdCloses = new QTableWidget(0, 5, this);
    grdCloses->setObjectName(QStringLiteral("grdCloses"));
    grdCloses->setHorizontalHeaderLabels({QStringLiteral("Login"), QStringLiteral("Time"), QStringLiteral("Expected"),
                                          QStringLiteral("Counted"), QStringLiteral("Difference")});
    grdCloses->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCloses->verticalHeader()->hide();
    Command1 = new QPushButton(QStringLiteral("Close Shift"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Exit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblCounted);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    auto *day = new QHBoxLayout;
    day->addWidget(dayLabel);
    day->addWidget(txtDay);
    day->addStretch();
    top->addLayout(day);
    top->addWidget(grdCloses);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
    recount();
    // the database's day, not the machine's
    if (DbSession) {
        const StatementRightsOutcome rights = statementRights(*DbSession);
        txtDay->setDate(rights.message ? QDate::currentDate() : rights.rights.today);
    }
    connect(txtDay, &QDateEdit::dateChanged, this, [this] { showCloses(); });
    showCloses();
}

void ShiftClose::recount()
{
    double total = 0;
    for (int i = 0; i < txtCount.size(); ++i)
        total += double(kDenominations[i]) * txtCount[i]->value();
    lblCounted->setText(QStringLiteral("Counted: \u20B9 %1").arg(nbk::shortestDecimal(total)));
}

void ShiftClose::showCloses()
{
    grdCloses->setRowCount(0);
    if (!DbSession)
        return;
    for (const ShiftCloseRow &c : shiftCloses(*DbSession, txtDay->date())) {
        const int r = grdCloses->rowCount();
        grdCloses->insertRow(r);
        const QStringList cells = {c.login, c.at.toString(QStringLiteral("HH:mm:ss")), nbk::shortestDecimal(c.expected),
                                   nbk::shortestDecimal(c.counted), nbk::shortestDecimal(c.difference)};
        for (int i = 0; i < cells.size(); ++i)
            grdCloses->setItem(r, i, new QTableWidgetItem(cells[i]));
    }
}

void ShiftClose::Command1_Click()
{
    if (!DbSession)
        return;
    QList<CashCount> counts;
    for (int i = 0; i < txtCount.size(); ++i)
        counts.append({kDenominations[i], txtCount[i]->value()});
    const ShiftCloseOutcome o = closeShift(*DbSession, counts, nbk::confirmByMessageBox());
    if (o.message)
        nbk::showNotices({*o.message});
    if (o.closed) {
        for (QSpinBox *b : txtCount)
            b->setValue(0);
        // the close is the database's today: the list turns to it
        const StatementRightsOutcome rights = statementRights(*DbSession);
        if (rights.message || txtDay->date() == rights.rights.today)
            showCloses();
        else
            txtDay->setDate(rights.rights.today);
    }
}
