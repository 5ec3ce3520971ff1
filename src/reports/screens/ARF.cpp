#include "reports/screens/ARF.h"

#include "data/session/Class1.h"
#include "reports/screens/ReportViews.h"
#include "reports/ServiceQueries.h"
#include "ui/MsgBox.h"

ARF::ARF(QWidget *parent)
    : ValueRequest(parent, QStringLiteral("ARF"), QStringLiteral("AccResFo"),
                   QStringLiteral("Enter the Vehicle's Registration involved in the accident"),
                   QStringLiteral("Generate Report"))
{
}

void ARF::request(const QString &value)
{
    const nbk::reports::AccidentOutcome o = nbk::reports::accidentPassengers(*DbSession, value);
    if (o.message)
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else
        nbk::reports::showAccidentReport(o.passengers);
}
