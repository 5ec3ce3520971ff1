#include "reports/screens/RouteTest.h"

#include "data/session/Class1.h"
#include "reports/screens/ReportViews.h"
#include "reports/ServiceQueries.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/Notices.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A caption-less rule, as the screen's decoration.
QLabel *rule(QWidget *parent, const char *name)
{
    QLabel *l = label(parent, name, QString());
    l->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return l;
}

}  // namespace

RouteTest::RouteTest(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("RouteTest"));
    setWindowTitle(QStringLiteral("Route Map"));
    Label2 = label(this, "Label2",
                   QStringLiteral("Report for the stops in the route and the Buses which are servicing that route."));
    Label2->setWordWrap(true);
    Label1 = label(this, "Label1", QStringLiteral("Enter Route Id"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Ok = new QPushButton(QStringLiteral("Generate"), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Label3 = rule(this, "Label3");
    Label4 = rule(this, "Label4");
    Label5 = rule(this, "Label5");

    auto *row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(Text1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label3);
    top->addWidget(Label2);
    top->addWidget(Label4);
    top->addLayout(row);
    top->addWidget(Label5);
    top->addStretch();
    top->addLayout(buttons);

    connect(Ok, &QPushButton::clicked, this, [this] { Ok_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Ok, Command2);
    nbk::ui::sizeInTwips(this, 7470, 5130);
}

void RouteTest::Ok_Click()
{
    if (!DbSession)
        return;
    const nbk::reports::RouteServiceOutcome o = nbk::reports::routeService(*DbSession, Text1->text());
    nbk::showNotices(o.notices);
    if (o.message)
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else if (!o.told)
        nbk::reports::showRouteDetails(o.service);
}
