#include "routes/screens/SetFrequency.h"

#include "data/session/Class1.h"
#include "ui/prompt/Prompt.h"
#include "routes/screens/RouteWizard.h"
#include "routes/screens/SetClass.h"
#include "routes/StoreSchedule.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/Notices.h"
#include "ui/WholeEntries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday", "Everyday"};

// The Everyday row below the frame lines up with the day rows inside it: the same column
// widths, and the frame's border and margins before both ends.
void alignEverydayRow(QGroupBox *frame, QGridLayout *days, QGridLayout *everyday)
{
    const int columns = days->columnCount();
    for (int c = 0; c < columns; ++c) {
        int width = 0;
        for (QGridLayout *g : {days, everyday})
            for (int r = 0; r < g->rowCount(); ++r)
                if (QLayoutItem *item = g->itemAtPosition(r, c))
                    width = qMax(width, item->sizeHint().width());
        days->setColumnMinimumWidth(c, width);
        everyday->setColumnMinimumWidth(c, width);
    }
    // what is left over goes after the last column in both
    days->setColumnStretch(columns, 1);
    everyday->setColumnStretch(columns, 1);
    frame->ensurePolished();
    const QMargins border = frame->contentsMargins();
    const QMargins inside = days->contentsMargins();
    everyday->setContentsMargins(border.left() + inside.left(), 0, border.right() + inside.right(), 0);
}

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
}  // namespace

SetFrequency::SetFrequency(RouteWizard *wizard, QWidget *parent) : nbk::ui::Screen(parent), wizard_(wizard)
{
    setObjectName(QStringLiteral("SetFrequency"));
    setWindowTitle(QStringLiteral("Set Route Service Frequency"));
    auto *heading = new QLabel(QStringLiteral("This route is serviced every:"), this);
    heading->setObjectName(QStringLiteral("Label1"));

    auto *frame = new QGroupBox(QStringLiteral("Individual Days"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *days = new QGridLayout(frame);
    auto *everyday = new QGridLayout;
    for (int k = 0; k < 8; ++k) {
        QWidget *owner = k < 7 ? static_cast<QWidget *>(frame) : this;
        QGridLayout *g = k < 7 ? days : everyday;
        const int row = k < 7 ? k : 0;
        auto *check = new QCheckBox(QString::fromLatin1(kDays[k]), owner);
        check->setObjectName(QStringLiteral("DayCheck"));
        check->setProperty("index", k);
        DayCheck[size_t(k)] = check;
        for (int j = 0; j < 3; ++j) {
            auto *c = new QComboBox(owner);
            c->setObjectName(QStringLiteral("DayDetail"));
            c->setProperty("index", 3 * k + j);
            c->setEditable(j == 0);
            // 60 minutes would open as a list taller than the screen
            nbk::ui::boundPopup(c);
            const int index = 3 * k + j;
            connect(c, &QComboBox::activated, this, [this, index] { DayDetail_Click(index); });
            DayDetail[size_t(index)] = c;
        }
        g->addWidget(check, row, 0);
        g->addWidget(new QLabel(QStringLiteral("Frequency: one bus every"), owner), row, 1);
        g->addWidget(DayDetail[size_t(3 * k)], row, 2);
        g->addWidget(new QLabel(QStringLiteral("Mins"), owner), row, 3);
        g->addWidget(new QLabel(QStringLiteral("First bus of the day"), owner), row, 4);
        g->addWidget(DayDetail[size_t(3 * k + 1)], row, 5);
        g->addWidget(new QLabel(QStringLiteral("Hrs"), owner), row, 6);
        g->addWidget(DayDetail[size_t(3 * k + 2)], row, 7);
        g->addWidget(new QLabel(QStringLiteral("Min"), owner), row, 8);
    }
    alignEverydayRow(frame, days, everyday);
    Command3 = button(this, "Command3", "<< Back");
    Command2 = button(this, "Command2", "Next >>");
    Command1 = button(this, "Command1", "Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addWidget(frame);
    top->addLayout(everyday);
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (wizard_)
            wizard_->backToEntry(this);
    });
    nbk::ui::setDialogKeys(this, Command2, Command1);
    Form_Load();
}

void SetFrequency::Form_Load()
{
    QStringList intervals = {QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45"), QStringLiteral("60"),
                             QStringLiteral("90"), QStringLiteral("120"), QStringLiteral("150"),
                             QStringLiteral("1440")};
    QStringList hours, minutes;
    for (int i = 0; i < 60; ++i) {
        if (i < 24)
            hours << QString::number(i);
        minutes << QString::number(i);
    }
    for (int k = 0; k < 8; ++k) {
        QComboBox *interval = DayDetail[size_t(3 * k)];
        interval->clear();
        interval->addItems(intervals);
        interval->setCurrentIndex(7);
        DayDetail[size_t(3 * k + 1)]->clear();
        DayDetail[size_t(3 * k + 1)]->addItems(hours);
        DayDetail[size_t(3 * k + 1)]->setCurrentIndex(5);
        DayDetail[size_t(3 * k + 2)]->clear();
        DayDetail[size_t(3 * k + 2)]->addItems(minutes);
        DayDetail[size_t(3 * k + 2)]->setCurrentIndex(0);
    }
}

void SetFrequency::DayDetail_Click(int index)
{
    // the Everyday row's choice is copied to the seven days while Everyday is ticked
    if (index < 21 || !DayCheck[7]->isChecked())
        return;
    const int position = DayDetail[size_t(index)]->currentIndex();
    for (int i = index - 21; i < 21; i += 3)
        DayDetail[size_t(i)]->setCurrentIndex(position);
}

void SetFrequency::Command1_Click()
{
    if (!wizard_)
        return;
    const QString text = wizard_->editing()
                             ? QStringLiteral(" Are you sure you want to undo all editing done for route ") +
                                   QString::number(wizard_->routeId()) + QStringLiteral(" ?")
                             : QStringLiteral(" Are you sure you want to cancel Route Addition ? ");
    if (nbk::ui::MsgBox(text, nbk::mb::Question | nbk::mb::YesNo | nbk::mb::DefaultButton2,
                        QStringLiteral("Confirm")) == nbk::mb::Yes)
        wizard_->closeAll();
}

void SetFrequency::Command2_Click()
{
    if (!wizard_ || !DbSession)
        return;
    RouteWizard &w = *wizard_;
    SetClass *classes = w.classes;
    if (classes) {
        nbk::ui::hideChildWindow(classes);
        for (QCheckBox *box : classes->Check1) {
            box->setEnabled(false);
            box->setVisible(false);
        }
    }
    std::array<nbk::routes::DayEntry, 8> days;
    for (int k = 0; k < 8; ++k) {
        nbk::routes::DayEntry &d = days[size_t(k)];
        d.ticked = DayCheck[size_t(k)]->isChecked();
        d.interval = DayDetail[size_t(3 * k)]->currentText();
        d.hour = DayDetail[size_t(3 * k + 1)]->currentText().toInt();
        d.minute = DayDetail[size_t(3 * k + 2)]->currentText().toInt();
    }
    if (!w.isOpen()) {
        // the pass was rolled back meanwhile: nothing here would belong to a route
        w.backToEntry(this);
        return;
    }
    const nbk::routes::FrequencyPass pass = nbk::routes::storeFrequency(*DbSession, w.editing(), w.routeId(), days);
    if (classes) {
        for (int k : pass.offeredDays)
            for (int c = 0; c < 5; ++c) {
                QCheckBox *box = classes->Check1[size_t(7 - k + 8 * c)];
                box->setEnabled(true);
                box->setVisible(true);
            }
    }
    nbk::showNotices(pass.notices);
    if (!pass.result.ok) {
        if (pass.result.rollBack) {
            w.show(pass.result, this);
            return;
        }
        nbk::showNotices({pass.result.notice});
        if (QWidget *box = w.control(pass.result.focus))
            box->setFocus();
        return;
    }
    RouteWizard::moveOn(this, classes);
}

void SetFrequency::onClosed()
{
    if (wizard_)
        wizard_->closeAll();
}
