#include "reservation/screens/HandlerFailure.h"

#include "data/dialect/DbError.h"
#include "ui/MsgBox.h"

void ReportHandlerFailure(const std::exception &e)
{
    // the task's own transaction (if any) has rolled back as it unwound; another task's
    // pending work is not this handler's to end
    QString text = QString::fromLocal8Bit(e.what());
    if (const auto *db = dynamic_cast<const nbk::data::DbException *>(&e))
        text = db->error().description;
    if (text.trimmed().isEmpty())
        text = QStringLiteral("The database could not complete the request. Please try again or report to supervisor ");
    nbk::ui::MsgBox(text, nbk::mb::Critical, QStringLiteral("Error"));
}
