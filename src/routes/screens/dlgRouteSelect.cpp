#include "routes/screens/dlgRouteSelect.h"

#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "routes/DescribeRoute.h"
#include "routes/LoadRouteForChange.h"
#include "ui/Notices.h"
#include "routes/screens/OpenRouteForChange.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

bool routeNumber16(const QString &typed, qint16 &id)
{
    if (!nbk::IsNumeric(typed))
        return false;
    const double r = std::nearbyint(nbk::Val(typed));
    if (!(r >= -32768 && r <= 32767))
        return false;
    id = qint16(r);
    return true;
}

dlgRouteSelect::dlgRouteSelect(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("dlgRouteSelect"));
    setWindowTitle(QStringLiteral("Search Results"));
    auto *label = new QLabel(QStringLiteral("Select route ID:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    cmbRouteID = new QComboBox(this);
    cmbRouteID->setObjectName(QStringLiteral("cmbRouteID"));
    Command1 = new QPushButton(QStringLiteral("Preview Route"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(cmbRouteID, 1);
    row->addWidget(Command1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto *top = new QVBoxLayout(this);
    top->addLayout(row);
    top->addStretch();
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, OKButton, CancelButton);
}

void dlgRouteSelect::Command1_Click()
{
    // the dialog is reached only from a logged-in session's route menu
    if (!DbSession)
        return;
    const nbk::routes::RouteDescription d =
        nbk::routes::DescribeRoute(*DbSession, cmbRouteID->currentText(), QStringLiteral(", "), QStringLiteral("Names"));
    nbk::showNotices(d.notices);
    QString name;
    if (d.found) {
        try {
            name = nbk::routes::storedRouteName(*DbSession, cmbRouteID->currentText().trimmed().toLongLong());
        } catch (const std::exception &) {
            // the places are the answer asked for; a name that cannot be read is left out
        }
    }
    nbk::ui::MsgBox(QStringLiteral("The route is : \r\n") + d.text +
                        (name.isEmpty() ? QString() : QStringLiteral("\r\nRoute name: ") + name),
                    nbk::mb::OKOnly);
}

void dlgRouteSelect::OKButton_Click()
{
    qint16 id = 0;
    if (!routeNumber16(cmbRouteID->currentText(), id)) {
        nbk::ui::MsgBox(QStringLiteral("Invalid Route ID"), nbk::mb::Critical | nbk::mb::OKOnly);
        return;
    }
    openRouteForChange(id);
    close();
}
