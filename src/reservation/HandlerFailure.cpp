#include "reservation/HandlerFailure.h"

#include "data/Class1.h"
#include "ui/MsgBox.h"

void RollBackAndReport(const std::exception &e)
{
    if (DbSession && DbSession->IsInTransaction())
        DbSession->RollBackTransaction();
    nbk::ui::MsgBox(QString::fromLocal8Bit(e.what()), nbk::mb::Critical, QStringLiteral("Error"));
}
