#include "reports/screens/ValueRequest.h"

#include "data/session/Class1.h"
#include "ui/Keys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ValueRequest::ValueRequest(QWidget *parent, const QString &name, const QString &title, const QString &prompt,
                           const QString &action)
    : nbk::ui::Screen(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    Label1 = new QLabel(prompt, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(action, this);
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

    connect(Command1, &QPushButton::clicked, this, [this] {
        if (DbSession)
            request(Text1->text());
    });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
}
