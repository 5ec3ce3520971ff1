#include "data/session/RowTable.h"

#include "data/dialect/DbError.h"

namespace nbk::data {

static void checkCell(int field, int row, int fields, int rows)
{
    if (field < 0 || field >= fields || row < 0 || row >= rows)
        throw DbException({9, QStringLiteral("Subscript out of range (field %1, row %2)")
                                  .arg(field)
                                  .arg(row)});
}

const QVariant &RowTable::at(int field, int row) const
{
    checkCell(field, row, fieldCount(), rowCount());
    return rows_[size_t(row)][field];
}

QVariant &RowTable::at(int field, int row)
{
    checkCell(field, row, fieldCount(), rowCount());
    return rows_[size_t(row)][field];
}

}  // namespace nbk::data
