#include "operations/CancelSlabs.h"

#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/Transaction.h"

namespace {

const char *const SQL_SLABS =
    "SELECT To_char(effective_from,'YYYY-MM-DD HH24:MI'), hours_before, retained_share FROM cancel_slab "
    "ORDER BY effective_from, hours_before DESC";
const char *const SQL_ADD = "INSERT INTO cancel_slab (effective_from, hours_before, retained_share) VALUES (%1, %2, %3)";
const char *const SQL_WITHDRAW = "DELETE FROM cancel_slab WHERE effective_from = %1";
const char *const MSG_NONE = "There is no schedule of charges from %1 ";
const char *const MSG_EMPTY = "A schedule needs at least one slab ";
const char *const MSG_SLAB = "A slab starts at 0 hours or more before departure and retains 0 to 100% ";

// A date formatted from a date: no typed text reaches the statement.
QString dateLiteral(const QDateTime &t)
{
    return QStringLiteral("TO_DATE('%1','YYYY-MM-DD HH24:MI:SS')").arg(t.toString(QStringLiteral("yyyy-MM-dd HH:mm:00")));
}

// Runs `change` in a transaction of its own, committed only when it returns.
template <class F>
SlabRefusal inTransaction(nbk::data::Class1 &s, F change)
{
    try {
        nbk::data::Transaction tx(s, QStringLiteral("the cancellation charges"));
        if (!tx.isOpen())
            return tx.refusal();
        const SlabRefusal r = change(s.GetCurrentConnection());
        if (!r.isEmpty())
            return r;
        tx.commit();
    } catch (const nbk::data::DbException &e) {
        return e.error().description;
    }
    return {};
}

}  // namespace

QList<CancelSlab> ReadCancelSlabs(nbk::data::Class1 &s)
{
    QList<CancelSlab> out;
    for (nbk::data::ResultSet r = s.GetCurrentConnection().query(QString::fromLatin1(SQL_SLABS)); !r.eof(); r.moveNext())
        out.append({QDateTime::fromString(r.value(0).toString(), QStringLiteral("yyyy-MM-dd HH:mm")),
                    r.value(1).toDouble(), r.value(2).toDouble()});
    return out;
}

SlabRefusal AddCancelSchedule(nbk::data::Class1 &s, const QDateTime &from, const QList<CancelSlab> &slabs)
{
    if (slabs.isEmpty())
        return QString::fromLatin1(MSG_EMPTY);
    for (const CancelSlab &slab : slabs)
        if (!(slab.hoursBefore >= 0 && slab.share >= 0 && slab.share <= 1))
            return QString::fromLatin1(MSG_SLAB);
    return inTransaction(s, [&](nbk::data::Connection &cn) {
        for (const CancelSlab &slab : slabs)
            cn.execute(QString::fromLatin1(SQL_ADD).arg(dateLiteral(from), nbk::shortestDecimal(slab.hoursBefore),
                                                        nbk::shortestDecimal(slab.share)));
        return SlabRefusal();
    });
}

SlabRefusal WithdrawCancelSchedule(nbk::data::Class1 &s, const QDateTime &from)
{
    return inTransaction(s, [&](nbk::data::Connection &cn) {
        if (cn.executeCount(QString::fromLatin1(SQL_WITHDRAW).arg(dateLiteral(from))) == 0)
            return QString::fromLatin1(MSG_NONE).arg(from.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        return SlabRefusal();
    });
}
