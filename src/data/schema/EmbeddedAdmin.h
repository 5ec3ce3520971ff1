#pragma once
#include "data/engines/AdminConnectionBase.h"
#include "data/engines/SqliteEngine.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

namespace nbk::data::schema {

// A raw connection to an embedded file, for the work that comes before any account.
class EmbeddedAdmin : public AdminConnectionBase {
public:
    explicit EmbeddedAdmin(const QString &path, bool create)
        : AdminConnectionBase(QStringLiteral("QSQLITE"), QStringLiteral("nbk_admin_"))
    {
        QSqlDatabase db = this->db();
        db.setDatabaseName(path);
        if (!create)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READWRITE_NO_CREATE"));
        ok_ = db.open();
        if (!ok_)
            error_ = db.lastError().text();
        else if (!SqliteEngine::configure(db, &error_))
            ok_ = false;
    }

    bool run(const QString &sql, const QVariantList &binds = {})
    {
        QSqlQuery q(db());
        bool done = binds.isEmpty() ? q.exec(sql) : (q.prepare(sql) && [&] {
            for (const QVariant &b : binds)
                q.addBindValue(b);
            return q.exec();
        }());
        if (!done)
            error_ = q.lastError().text() + QStringLiteral(" in: ") + sql;
        return done;
    }
};

}  // namespace nbk::data::schema
