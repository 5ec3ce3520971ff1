#include "data/engines/AdminConnectionBase.h"

#include <QAtomicInt>

namespace nbk::data {

namespace {
QAtomicInt adminCounter;
}

AdminConnectionBase::AdminConnectionBase(const QString &driver, const QString &namePrefix)
    : name_(namePrefix + QString::number(adminCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase::addDatabase(driver, name_);
}

AdminConnectionBase::~AdminConnectionBase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

}  // namespace nbk::data
