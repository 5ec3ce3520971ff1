#include "app/Form1.h"

#include "data/dialect/DbError.h"
#include "ui/MsgBox.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nbk::app {

QString PlainTextSink::text() const
{
    QString t = box_->toPlainText();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t;
}

void PlainTextSink::setText(const QString &t)
{
    QString shown = t;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box_->setPlainText(shown);
}

Form1::Form1(QWidget *parent) : Screen(parent), Text1(new QPlainTextEdit(this)), sink_(Text1)
{
    setWindowTitle(QStringLiteral("Form1"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(QStringLiteral("C_id>124"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("All C_Id, Names"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    sink_.setText(QStringLiteral("<Click button to do a query>"));
    connect(Command1, &QPushButton::clicked, this, &Form1::command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::command2Click);
}

void Form1::command1Click()
{
    sink_.setText(QString());
    fill(QStringLiteral("Select * from test1 where C_id>124"));
}

void Form1::command2Click() { fill(QStringLiteral("SELECT * from test1")); }

void Form1::fill(const QString &query)
{
    if (!DbSession)
        return;
    try {
        DbSession->FillText(sink_, query);
    } catch (const data::DbException &e) {
        // a read-only query: report it, nothing to undo
        ui::MsgBox(e.error().description, mb::Critical | mb::OKOnly, QStringLiteral("Error"));
    }
}

}  // namespace nbk::app
