#include "reports/screens/DayStatement.h"

#include "common/Clock.h"
#include "data/session/Class1.h"
#include "reports/DayStatementQueries.h"
#include "reports/DayStatementReport.h"
#include "reports/screens/ReportWindow.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}  // namespace

DayStatement::DayStatement(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("DayStatement"));
    setWindowTitle(QStringLiteral("Day Statement"));
    Label1 = named(new QLabel(QStringLiteral("Day"), this), "Label1");
    dtpDay = named(new QDateEdit(this), "dtpDay");
    dtpDay->setCalendarPopup(true);
    dtpDay->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    Label2 = named(new QLabel(QStringLiteral("Login"), this), "Label2");
    cmbLogin = named(new QComboBox(this), "cmbLogin");
    cmbLogin->setEditable(true);
    cmbLogin->setInsertPolicy(QComboBox::NoInsert);
    Command1 = named(new QPushButton(QStringLiteral("Show Statement"), this), "Command1");
    Command2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Command2");

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(dtpDay, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(cmbLogin, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addStretch();
    top->addLayout(buttons);

    // the database says who the session is and whether it may choose another login
    nbk::reports::StatementRights rights;
    if (DbSession) {
        const nbk::reports::StatementRightsOutcome o = nbk::reports::statementRights(*DbSession);
        rights = o.message ? nbk::reports::StatementRights{DbSession->UserName(), false, {}} : o.rights;
    }
    anyLogin_ = rights.anyLogin;
    dtpDay->setDate(rights.today.isValid() ? rights.today : nbk::currentDate());
    cmbLogin->setEditText(rights.login);
    cmbLogin->setEnabled(anyLogin_);
    dtpDay_Change();

    connect(dtpDay, &QDateEdit::dateChanged, this, [this] { dtpDay_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}

void DayStatement::dtpDay_Change()
{
    if (!anyLogin_ || !DbSession)
        return;
    // the logins that booked or cancelled that day, the typed one kept
    const QString typed = cmbLogin->currentText();
    cmbLogin->clear();
    cmbLogin->addItems(nbk::reports::statementLogins(*DbSession, dtpDay->date()));
    cmbLogin->setEditText(typed);
}

void DayStatement::Command1_Click()
{
    if (!DbSession)
        return;
    const nbk::reports::DayStatementOutcome o =
        nbk::reports::dayStatement(*DbSession, dtpDay->date(), cmbLogin->currentText());
    if (o.message) {
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
        return;
    }
    const nbk::reports::FilledReport r = nbk::reports::fillDayStatement(o.statement);
    nbk::report::ReportWindow::show(r.windowName, r.layout, r.data);
}
