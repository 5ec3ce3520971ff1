#include "operations/screens/frmCharges.h"

#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "operations/CancelSlabs.h"
#include "reservation/FareCategories.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

const char *const MSG_SLABS = "Type the slabs as HOURS:PERCENT, the percent retained from that many hours before "
                              "departure (for example 72:10 24:25 0:50) ";
const char *const MSG_NUMBER = "Type the share in percent and the ages as numbers ";

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QTableWidget *table(QWidget *parent, const char *name, const QStringList &heads)
{
    auto *t = named(new QTableWidget(0, int(heads.size()), parent), name);
    t->setHorizontalHeaderLabels(heads);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    // a few lines each, scrolled beyond: the screen fits the smallest main window
    t->setMaximumHeight(110);
    return t;
}

void addRow(QTableWidget *t, const QStringList &cells)
{
    const int r = t->rowCount();
    t->insertRow(r);
    for (int i = 0; i < cells.size(); ++i)
        t->setItem(r, i, new QTableWidgetItem(cells[i]));
}

QString percent(double share) { return nbk::shortestDecimal(std::round(share * 10000) / 100); }

// A number as typed; nothing for any other text.
std::optional<double> number(const QLineEdit *box)
{
    if (!nbk::IsNumeric(box->text()))
        return std::nullopt;
    return box->text().trimmed().toDouble();
}

}  // namespace

frmCharges::frmCharges(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmCharges"));
    setWindowTitle(QStringLiteral("Charges and Fare Categories"));

    auto *slabs = named(new QGroupBox(QStringLiteral("Cancellation charges"), this), "Frame1");
    grdSlabs = table(slabs, "grdSlabs", {QStringLiteral("In force from"), QStringLiteral("From hours before departure"),
                                          QStringLiteral("Retained %")});
    txtFrom = named(new QDateTimeEdit(QDateTime(QDate::currentDate().addDays(1), QTime(0, 0)), slabs), "txtFrom");
    txtFrom->setDisplayFormat(QStringLiteral("dd MMM yyyy HH:mm"));
    txtSlabs = named(new QLineEdit(slabs), "txtSlabs");
    txtSlabs->setPlaceholderText(QStringLiteral("72:10 24:25 0:50"));
    cmdAddSchedule = named(new QPushButton(QStringLiteral("&Add Schedule"), slabs), "cmdAddSchedule");
    cmdWithdrawSchedule = named(new QPushButton(QStringLiteral("&Withdraw Schedule"), slabs), "cmdWithdrawSchedule");
    auto *s = new QGridLayout(slabs);
    s->addWidget(grdSlabs, 0, 0, 1, 4);
    s->addWidget(new QLabel(QStringLiteral("From"), slabs), 1, 0);
    s->addWidget(txtFrom, 1, 1);
    s->addWidget(new QLabel(QStringLiteral("Slabs (hours:percent)"), slabs), 2, 0);
    s->addWidget(txtSlabs, 2, 1, 1, 3);
    s->addWidget(cmdAddSchedule, 1, 2);
    s->addWidget(cmdWithdrawSchedule, 1, 3);

    auto *categories = named(new QGroupBox(QStringLiteral("Fare categories"), this), "Frame2");
    grdCategories = table(categories, "grdCategories",
                          {QStringLiteral("Category"), QStringLiteral("% of the adult fare"), QStringLiteral("Ages")});
    txtCategory = named(new QLineEdit(categories), "txtCategory");
    txtShare = named(new QLineEdit(categories), "txtShare");
    txtMinAge = named(new QLineEdit(categories), "txtMinAge");
    txtMaxAge = named(new QLineEdit(categories), "txtMaxAge");
    cmdSaveCategory = named(new QPushButton(QStringLiteral("&Save Category"), categories), "cmdSaveCategory");
    cmdWithdrawCategory = named(new QPushButton(QStringLiteral("Withdraw &Category"), categories), "cmdWithdrawCategory");
    auto *c = new QGridLayout(categories);
    c->addWidget(grdCategories, 0, 0, 1, 6);
    const std::pair<const char *, QLineEdit *> boxes[] = {
        {"Category", txtCategory}, {"% of the fare", txtShare}, {"Age from", txtMinAge}, {"to", txtMaxAge}};
    int column = 0;
    for (const auto &[caption, box] : boxes) {
        auto *label = new QLabel(QString::fromLatin1(caption), categories);
        label->setBuddy(box);
        c->addWidget(label, 1 + column / 2, (column % 2) * 2);
        c->addWidget(box, 1 + column / 2, (column % 2) * 2 + 1);
        ++column;
    }
    c->addWidget(cmdSaveCategory, 1, 4);
    c->addWidget(cmdWithdrawCategory, 2, 4);

    cmdExit = named(new QPushButton(QStringLiteral("E&xit"), this), "cmdExit");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    auto *top = new QVBoxLayout(this);
    top->addWidget(slabs);
    top->addWidget(categories);
    top->addLayout(buttons);

    connect(cmdAddSchedule, &QPushButton::clicked, this, [this] { cmdAddSchedule_Click(); });
    connect(cmdWithdrawSchedule, &QPushButton::clicked, this, [this] { cmdWithdrawSchedule_Click(); });
    connect(cmdSaveCategory, &QPushButton::clicked, this, [this] { cmdSaveCategory_Click(); });
    connect(cmdWithdrawCategory, &QPushButton::clicked, this, [this] { cmdWithdrawCategory_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { close(); });
    // a row picked fills the boxes, to change or withdraw it
    connect(grdSlabs, &QTableWidget::cellClicked, this, [this](int row) {
        txtFrom->setDateTime(grdSlabs->item(row, 0)->data(Qt::UserRole).toDateTime());
    });
    connect(grdCategories, &QTableWidget::cellClicked, this, [this](int row) {
        const QStringList ages = grdCategories->item(row, 2)->text().split(QStringLiteral(" to "));
        txtCategory->setText(grdCategories->item(row, 0)->text());
        txtShare->setText(grdCategories->item(row, 1)->text());
        txtMinAge->setText(ages.value(0));
        txtMaxAge->setText(ages.value(1));
    });
    nbk::ui::setDialogKeys(this, nullptr, cmdExit);
    showRules();
}

void frmCharges::showRules()
{
    grdSlabs->setRowCount(0);
    grdCategories->setRowCount(0);
    if (!DbSession)
        return;
    try {
        for (const CancelSlab &slab : ReadCancelSlabs(*DbSession)) {
            addRow(grdSlabs, {slab.effectiveFrom.toString(QStringLiteral("dd MMM yyyy HH:mm")),
                              nbk::shortestDecimal(slab.hoursBefore), percent(slab.share)});
            grdSlabs->item(grdSlabs->rowCount() - 1, 0)->setData(Qt::UserRole, slab.effectiveFrom);
        }
        for (const FareCategory &k : ReadFareCategories(*DbSession))
            addRow(grdCategories, {k.name, percent(k.share),
                                   nbk::shortestDecimal(k.minAge) + QStringLiteral(" to ") + nbk::shortestDecimal(k.maxAge)});
    } catch (const nbk::data::DbException &e) {
        nbk::ui::MsgBox(e.error().description, nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
    }
}

void frmCharges::done(const QString &refusal)
{
    if (!refusal.isEmpty())
        nbk::ui::MsgBox(refusal, nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
    showRules();
}

void frmCharges::cmdAddSchedule_Click()
{
    if (!DbSession)
        return;
    static const QRegularExpression slab(QStringLiteral(R"(^(\d+(?:\.\d+)?):(\d+(?:\.\d+)?)$)"));
    QList<CancelSlab> slabs;
    for (const QString &part : txtSlabs->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = slab.match(part);
        if (!m.hasMatch() || m.captured(2).toDouble() > 100) {
            nbk::ui::MsgBox(QString::fromLatin1(MSG_SLABS), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
            txtSlabs->setFocus();
            return;
        }
        slabs.append({QDateTime(), m.captured(1).toDouble(), m.captured(2).toDouble() / 100.0});
    }
    const QString refused = AddCancelSchedule(*DbSession, txtFrom->dateTime(), slabs);
    if (refused.isEmpty())
        txtSlabs->clear();
    done(refused);
}

void frmCharges::cmdWithdrawSchedule_Click()
{
    if (!DbSession)
        return;
    if (nbk::ui::MsgBox(QStringLiteral("Withdraw the cancellation charges from %1?")
                            .arg(txtFrom->dateTime().toString(QStringLiteral("dd MMM yyyy HH:mm"))),
                        nbk::mb::Question | nbk::mb::YesNo | nbk::mb::DefaultButton2, QStringLiteral("Confirm"))
        != nbk::mb::Yes)
        return;
    done(WithdrawCancelSchedule(*DbSession, txtFrom->dateTime()));
}

void frmCharges::cmdSaveCategory_Click()
{
    if (!DbSession)
        return;
    const std::optional<double> share = number(txtShare), from = number(txtMinAge), to = number(txtMaxAge);
    if (!share || !from || !to) {
        nbk::ui::MsgBox(QString::fromLatin1(MSG_NUMBER), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
        return;
    }
    done(StoreFareCategories(*DbSession, {{txtCategory->text(), *share / 100.0, *from, *to}}));
}

void frmCharges::cmdWithdrawCategory_Click()
{
    if (!DbSession)
        return;
    if (nbk::ui::MsgBox(QStringLiteral("Withdraw the fare category %1? Seats sold keep their fares.").arg(txtCategory->text().trimmed()),
                        nbk::mb::Question | nbk::mb::YesNo | nbk::mb::DefaultButton2, QStringLiteral("Confirm"))
        != nbk::mb::Yes)
        return;
    done(StoreFareCategories(*DbSession, {}, txtCategory->text().isEmpty() ? QStringLiteral(" ") : txtCategory->text()));
}
