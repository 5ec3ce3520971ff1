#pragma once
#include <QStringList>
#include <QVariant>
#include <vector>

namespace nbk::data {

// Rows fetched whole, addressed (field, row), both from 0.
class RowTable {
public:
    RowTable() = default;
    RowTable(QStringList fieldNames, std::vector<QVariantList> rows)
        : names_(std::move(fieldNames)), rows_(std::move(rows)) {}

    const QVariant &at(int field, int row) const;
    QVariant &at(int field, int row);
    int fieldCount() const { return int(names_.size()); }
    int rowCount() const { return int(rows_.size()); }
    int lastRow() const { return rowCount() - 1; }
    int lastField() const { return fieldCount() - 1; }
    bool isEmpty() const { return rows_.empty(); }
    const QStringList &fieldNames() const { return names_; }
    const QVariantList &row(int r) const { return rows_.at(size_t(r)); }
    void clear() { names_.clear(); rows_.clear(); }

private:
    QStringList names_;
    std::vector<QVariantList> rows_;
};

}  // namespace nbk::data
