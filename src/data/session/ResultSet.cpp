#include "data/session/ResultSet.h"

#include "data/dialect/DbError.h"

namespace nbk::data {

struct ResultSet::Data {
    QStringList names;
    std::vector<QVariantList> rows;
    int pos = 0;  // -1 = BOF, rows.size() = EOF
    bool open = true;
};

ResultSet::ResultSet() : d_(std::make_shared<Data>()) { d_->open = false; }

ResultSet::ResultSet(QStringList names, std::vector<QVariantList> rows)
    : d_(std::make_shared<Data>())
{
    d_->names = std::move(names);
    d_->rows = std::move(rows);
}

bool ResultSet::isOpen() const { return d_->open; }
void ResultSet::close()
{
    d_->open = false;
    d_->rows.clear();
}

int ResultSet::fieldCount() const { return int(d_->names.size()); }
QString ResultSet::fieldName(int i) const { return d_->names.value(i); }

int ResultSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < d_->names.size(); ++i)
        if (d_->names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int ResultSet::recordCount() const { return int(d_->rows.size()); }
int ResultSet::position() const { return d_->pos; }
bool ResultSet::eof() const { return !d_->open || d_->pos >= recordCount(); }
bool ResultSet::bof() const { return !d_->open || d_->pos < 0 || d_->rows.empty(); }
void ResultSet::moveFirst() { d_->pos = 0; }
void ResultSet::moveLast() { d_->pos = recordCount() - 1; }
void ResultSet::moveNext()
{
    if (d_->pos < recordCount())
        ++d_->pos;
}
void ResultSet::movePrevious()
{
    if (d_->pos >= 0)
        --d_->pos;
}

QVariant ResultSet::value(int field) const
{
    if (!d_->open)
        throw DbException({3704, QStringLiteral("Operation is not allowed when the object is closed.")});
    if (d_->pos < 0 || d_->pos >= recordCount())
        throw DbException({3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted.")});
    if (field < 0 || field >= fieldCount())
        throw DbException({3265, QStringLiteral("Item cannot be found in the collection (field %1).").arg(field)});
    return d_->rows[size_t(d_->pos)][field];
}

QVariant ResultSet::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbException({3265, QStringLiteral("Item cannot be found in the collection (%1).").arg(name)});
    return value(i);
}

const std::vector<QVariantList> &ResultSet::allRows() const
{
    static const std::vector<QVariantList> none;
    return d_->open ? d_->rows : none;
}

RowTable ResultSet::getRows()
{
    std::vector<QVariantList> rows;
    if (d_->open && d_->pos >= 0 && d_->pos < recordCount())
        rows.assign(d_->rows.begin() + d_->pos, d_->rows.end());
    d_->pos = recordCount();
    return RowTable(d_->names, std::move(rows));
}

}  // namespace nbk::data
