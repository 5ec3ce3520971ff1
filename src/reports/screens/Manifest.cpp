#include "reports/screens/Manifest.h"

#include "data/session/Class1.h"
#include "reports/screens/ReportViews.h"
#include "reports/TicketQueries.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Manifest::Manifest(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("Manifest"));
    setWindowTitle(QStringLiteral("Conductor's Manifest"));
    Label1 = new QLabel(QStringLiteral("Run number"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(QStringLiteral("Show Manifest"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addWidget(Text1);
    top->addStretch();
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}

void Manifest::Command1_Click()
{
    if (!DbSession)
        return;
    const nbk::reports::RunManifestOutcome o = nbk::reports::runManifest(*DbSession, Text1->text());
    if (o.message)
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else
        nbk::reports::showManifest(o.manifest);
}
