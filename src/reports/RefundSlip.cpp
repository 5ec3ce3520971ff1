#include "reports/RefundSlip.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/dialect/DbError.h"
#include "data/session/Transaction.h"
#include "ui/prompt/Prompt.h"

namespace nbk::reports {

namespace {

const char *const MSG_INVALID_CUSTOMER = "Invalid Customer No. ";
const char *const MSG_NONE = "No cancellation of customer %1 that this login may print ";
// the schedule of charges sold with the booking, kept after the booking is gone
const char *const SQL_SLABS =
    "SELECT s.hours_before FROM sale_terms st JOIN cancel_slab s ON s.effective_from = st.slabs_from "
    "WHERE st.customer_id = %1 ORDER BY s.hours_before DESC";

}  // namespace

RefundSlipOutcome refundSlip(data::Class1 &s, const QString &typed)
{
    RefundSlipOutcome out;
    const std::optional<qint32> cid = wholeNumber(typed);
    if (!cid || *cid <= 0) {
        out.message = Message{QString::fromLatin1(MSG_INVALID_CUSTOMER), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
        return out;
    }
    if (s.IsInTransaction()) {
        out.message = Message{data::pendingWorkMessage(s.PendingTask()), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
        return out;
    }
    try {
        data::Connection &cn = s.GetCurrentConnection();
        const std::vector<StatementLine> found = readCancellations(cn, *cid);
        if (found.empty()) {
            out.message = Message{QString::fromLatin1(MSG_NONE).arg(*cid), mb::Information | mb::OKOnly,
                                  QStringLiteral("Information")};
            return out;
        }
        out.slip.cancellation = found.back();
        if (out.slip.charged()) {
            // the slab is the nearest one the hours left had reached when it was cancelled
            const double hoursLeft = out.slip.cancellation.at.secsTo(out.slip.cancellation.journey) / 3600.0;
            for (data::ResultSet r = cn.query(QString::fromLatin1(SQL_SLABS).arg(*cid)); !r.eof(); r.moveNext())
                if (r.value(0).toDouble() <= hoursLeft) {
                    out.slip.slabFrom = r.value(0).toDouble();
                    break;
                }
        }
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

}  // namespace nbk::reports
