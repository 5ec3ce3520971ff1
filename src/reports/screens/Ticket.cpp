#include "reports/screens/Ticket.h"

#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reports/screens/ReportViews.h"
#include "reports/TicketQueries.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A refusal because a booking waits for its customer details brings that booking's screen
// to the front, as the counter's other refusals do.
void tell(const nbk::reports::Message &m)
{
    nbk::ui::MsgBox(m.text, m.style, m.title);
    if (DbSession && DbSession->IsInTransaction())
        if (QWidget *customer = nbk::findScreen(QStringLiteral("frmCustomer")))
            nbk::ui::showChildWindow(customer);
}

}  // namespace

Ticket::Ticket(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("Ticket"));
    setWindowTitle(QStringLiteral("Print Ticket"));
    Frame2 = named(new QGroupBox(QStringLiteral("Ticket By Instance No."), this), "Frame2");
    Frame2->setToolTip(QStringLiteral("Report all the tickets of the instance ID"));
    Label1 = named(new QLabel(QStringLiteral("Enter Instance No"), Frame2), "Label1");
    Text1 = named(new QLineEdit(Frame2), "Text1");
    auto *f2 = new QHBoxLayout(Frame2);
    f2->addWidget(Label1);
    f2->addWidget(Text1);

    Frame1 = named(new QGroupBox(QStringLiteral("Ticket By Customer ID"), this), "Frame1");
    Option1 = named(new QRadioButton(QStringLiteral("Print Most Recent Ticket"), Frame1), "Option1");
    // an exclusive group (a lone auto-exclusive button is none): clicking the selected option
    // again keeps it selected and the screen in its mode; typing a customer id, the other
    // choice, is what unselects it
    Option1Group = new QButtonGroup(this);
    Option1Group->addButton(Option1);
    Label2 = named(new QLabel(QStringLiteral("Enter Customer ID"), Frame1), "Label2");
    Text2 = named(new QLineEdit(Frame1), "Text2");
    auto *f1 = new QVBoxLayout(Frame1);
    f1->addWidget(Option1);
    auto *row = new QHBoxLayout;
    row->addWidget(Label2);
    row->addWidget(Text2);
    f1->addLayout(row);

    Command1 = named(new QPushButton(QStringLiteral("OK"), this), "Command1");
    Command2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Command2");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Frame2);
    top->addWidget(Frame1);
    top->addStretch();
    top->addLayout(buttons);

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}

void Ticket::Text1_Change()
{
    const bool empty = Text1->text().isEmpty();
    Frame1->setEnabled(empty);
    Text2->setEnabled(empty);
    Label2->setEnabled(empty);
    Option1->setEnabled(empty);
}

void Ticket::Text2_Change()
{
    const bool empty = Text2->text().isEmpty();
    Frame2->setEnabled(empty);
    Text1->setEnabled(empty);
    Label1->setEnabled(empty);
    if (!empty && Option1->isChecked()) {
        // an exclusive group keeps its selected option; let go of it for this one change
        Option1Group->setExclusive(false);
        Option1->setChecked(false);
        Option1Group->setExclusive(true);
    }
}

void Ticket::Option1_Click()
{
    Frame2->setEnabled(false);
    Text1->setEnabled(false);
    Label1->setEnabled(false);
}

void Ticket::Command1_Click()
{
    if (!DbSession)
        return;
    // the box's own flag: isEnabled() would also follow its frame
    if (Text1->isEnabledTo(Frame2))
        printByInstance();
    else
        printByCustomer();
}

void Ticket::printByCustomer()
{
    const nbk::reports::CustomerTicketOutcome o =
        nbk::reports::customerTicket(*DbSession, Option1->isChecked(), Text2->text());
    if (o.message)
        tell(*o.message);
    else
        nbk::reports::showFullTicketReport(o.ticket);
}

void Ticket::printByInstance()
{
    const nbk::reports::InstanceTicketsOutcome o = nbk::reports::instanceTickets(*DbSession, Text1->text());
    if (o.message)
        tell(*o.message);
    else
        nbk::reports::showTicketReport(o.tickets);
}
