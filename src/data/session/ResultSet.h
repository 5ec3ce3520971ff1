#pragma once
#include "data/session/RowTable.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace nbk::data {

// A client-side result set: every row is fetched when the statement runs, so the
// cursor moves freely and the connection is free for the next statement at once.
// Copies share the same rows and cursor.
class ResultSet {
public:
    ResultSet();
    ResultSet(QStringList names, std::vector<QVariantList> rows);

    bool isOpen() const;
    void close();

    int fieldCount() const;
    QString fieldName(int i) const;
    int fieldIndex(const QString &name) const;  // case-insensitive; -1 when absent

    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    int recordCount() const;
    int position() const;

    // Value of the current row; throws DbException at EOF/BOF or for an unknown field.
    QVariant value(int field) const;
    QVariant value(const QString &name) const;
    QVariant operator[](int field) const { return value(field); }
    QVariant operator[](const QString &name) const { return value(name); }

    // Rows from the current one to the end; the cursor ends at EOF.
    RowTable getRows();

    // Every row, the cursor left where it is (none when closed).
    const std::vector<QVariantList> &allRows() const;

private:
    struct Data;
    std::shared_ptr<Data> d_;
};

}  // namespace nbk::data
