#pragma once
#include <QSqlDatabase>
#include <QString>

namespace nbk::data {

// A Qt connection of its own for set-up work that comes before any clerk logs in: added
// under a unique name, closed and removed when it goes out of scope. The engine's own
// kind opens it and keeps ok() and error() up to date.
class AdminConnectionBase {
public:
    AdminConnectionBase(const QString &driver, const QString &namePrefix);
    ~AdminConnectionBase();
    AdminConnectionBase(const AdminConnectionBase &) = delete;
    AdminConnectionBase &operator=(const AdminConnectionBase &) = delete;

    bool ok() const { return ok_; }
    const QString &error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

protected:
    QString error_;
    bool ok_ = false;

private:
    QString name_;
};

}  // namespace nbk::data
