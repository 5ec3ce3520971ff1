#pragma once
#include <QString>
#include <stdexcept>

namespace nbk::data {

// One entry of a connection's error list: the server's native (Oracle) error number
// and its description.
struct DbError {
    int nativeError = 0;
    QString description;
    QString sqlState;
};

// Raised by everything but Class1::exec when the database refuses a call.
class DbException : public std::runtime_error {
public:
    explicit DbException(DbError e)
        : std::runtime_error(e.description.toStdString()), error_(std::move(e)) {}
    const DbError &error() const { return error_; }
    int nativeError() const { return error_.nativeError; }

private:
    DbError error_;
};

// Oracle numbers the client and the engines agree on.
namespace ora {
constexpr int UniqueViolated = 1;
constexpr int ResourceBusy = 54;
constexpr int TableMissing = 942;
constexpr int InvalidIdentifier = 904;
constexpr int SqlNotProperlyEnded = 933;
constexpr int InvalidSql = 900;
constexpr int CannotInsertNull = 1400;
constexpr int InvalidNumber = 1722;
constexpr int ParentKeyNotFound = 2291;
constexpr int ChildRecordFound = 2292;
constexpr int InvalidLogon = 1017;
constexpr int NoListener = 12541;
constexpr int SeatTaken = 20001;
constexpr int DateFormat = 1821;
constexpr int LiteralMismatch = 1861;
constexpr int NotValidMonth = 1843;
constexpr int DayOfMonth = 1847;
constexpr int HourRange = 1850;
constexpr int MinuteRange = 1851;
constexpr int SecondRange = 1852;
constexpr int UserDefined = 20000;
constexpr int Deadlock = 60;
}  // namespace ora

// The description Oracle gives for a lock that cannot be had; screens compare against it.
inline const char *const kResourceBusyText =
    "ORA-00054: resource busy and acquire with NOWAIT specified";

// "ORA-00001: ..." formatting and parsing.
QString oraText(int number, const QString &message);
int oraNumberIn(const QString &text);  // first ORA-NNNNN in text, or 0

}  // namespace nbk::data
