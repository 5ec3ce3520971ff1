#include "data/session/Class1.h"
#include <cstdio>
#include "data/session/Transaction.h"
#include "data/schema/Schema.h"
#include "data/schema/SchemaVersion.h"

#include "data/engines/ConnectionString.h"
#include "data/engines/Engine.h"
#include "data/dialect/Numbers.h"

nbk::data::Class1 *DbSession = nullptr;

namespace nbk::data {

namespace {
// Statement texts, sent exactly as written.
const char *const SQL_GET_PLACE = "SELECT place, Full_Name FROM place where Full_Name LIKE ? ORDER BY Full_Name ";
const char *const SQL_GET_EXACT_PLACE = "SELECT place, Full_Name FROM place where Full_Name= ? ORDER BY Full_Name ";
const char *const SQL_GET_PATH_1 = "SELECT distinct full_name,PO.sequence_no, PO.reid,route_element.km from PLACE , ";
const char *const SQL_GET_PATH_2 = "(SELECT * from PATH_ORDER where route_id = ";
const char *const SQL_GET_PATH_3 = " ) PO , route_element";
const char *const SQL_GET_PATH_4 = " WHERE place in (SELECT place1 from route_element where reid in PO.reid) AND";
const char *const SQL_GET_PATH_5 = " route_element.km in (select km from route_element where reid in po.reid)";
const char *const SQL_GET_PATH_6 = "order by PO.sequence_no";
const char *const SQL_ROUTE_ID =
    "SELECT Route_Id FROM PATH_ORDER As p1 , PATH_ORDER As p2 WHERE p1.Route_ID = p2.Route_ID AND "
    "p1.REID= ? AND p2.REID = ? AND p1.Sequence_no > p2.Sequence_no ";
const char *const SQL_GET_REID = " SELECT REID FROM Route_Element WHERE place1= ? AND place2 = ?";
const char *const SQL_GET_DISTANCE =
    "SELECT SUM(KM) from route_element "
    "WHERE REID IN ( SELECT REID From PATH_ORDER "
    "WHERE ROUTE_ID = ? AND Sequence_no >= ? And sequence_no <= ? )";
const char *const SQL_FULL_SEATS_1 = "SELECT distinct seat_no from SEAT_MATRIX Where (     (route_sequence1 <= ";
const char *const SQL_FULL_SEATS_2 = " AND route_sequence2 >= ";
const char *const SQL_FULL_SEATS_3 = " )     OR (route_sequence1 >= ";
const char *const SQL_FULL_SEATS_4 = " AND route_sequence2 <= ";
const char *const SQL_FULL_SEATS_5 = " )  or (route_sequence1 <= ";
const char *const SQL_FULL_SEATS_6 = " ) or (route_sequence1 <= ";
const char *const SQL_FULL_SEATS_7 = " )) AND Instance_id = ";
const char *const SQL_MAX_SEATS = "SELECT Total_seats from bus_info where registration = ?";
const char *const SQL_SET_SEAT_MATRIX = " INSERT INTO seat_matrix VALUES( ? , ? ,? , ? , ?, 'r' )";
const char *const SQL_INSTANCE_DETAILS =
    "select bi.instance_Id, bi.bus_id, bi.registration, alpha.sequence_no, beta.sequence_no, "
    "To_char(bi.dep_date,'mm-dd-yyyy hh24:mi:ss'), bi.Free_Seats,Cls.base , Cls.multiplier, "
    "fpidx.multiplier, (r.km/r.travelmins), r.stoptime FROM BUS_INSTANCE bi,class_type cls, "
    "fuel_index  fpidx, route r, (SELECT route_ID, sequence_no from path_order where reid in "
    "(SELECT REID FROM ROUTE_ELEMENT WHERE place1 = ? )  ) alpha, (SELECT route_ID, sequence_no "
    "from path_order where reid in  (SELECT REID FROM ROUTE_ELEMENT WHERE place2 = ? )   ) beta "
    "WHERE (bi.Bus_id in beta.route_id AND alpha.sequence_no<=beta.sequence_no AND "
    "alpha.route_ID=beta.route_id) AND bi.class= ?  AND bi.class=cls.class AND  ABS "
    "(bi.dep_date - TO_DATE( ? ,'mm-dd-yyyy hh24:mi:ss') ) <= 1 AND (fpidx.fpi in (select fpi "
    "from route where bi.bus_id = route_id) ) AND r.route_id = bi.bus_id";
const char *const SQL_UNIQUE_CID = " SELECT C_seq.NEXTVAL FROM Dual ";
const char *const SQL_CUSTOMER_FOR_DELETE =
    "SELECT Seat_matrix.seat_no, Seat_matrix.Instance_id from CUSTOMER, SEAT_MATRIX where "
    "customer.customer_id  =  seat_matrix.customer_id AND customer.customer_id = ? ";
const char *const SQL_TICKET_DETAILS = "SELECT * FROM vticket WHERE CUSTOMERID = ";

const char *const MSG_DENIED = "Connection Denied. Your session has been terminated. ";
const char *const MSG_BAD_LOGIN = "Incorrect Username/Password";
const char *const MSG_NO_LOGON =
    "Could not logon to server. Please Contact your supervisor if the problem persists ";
constexpr int ORA_WRONG_PASSWORD = 1017;
}  // namespace

Class1::Class1()
{
    drivers_[0] = QStringLiteral("DRIVER={Microsoft ODBC For Oracle};");
    drivers_[1] = QStringLiteral("DRIVER={Oracle ODBC Driver};");
    drivers_[2] = QStringLiteral("DRIVER={SQL Server};");
    cn.onConnectComplete = [this](bool ok) { cn_ConnectComplete(ok); };
    cn.onConnectionLost = [this](const DbError &e) { cn_ConnectionLost(e); };
    cn.onSeeking = [this](int seconds, bool done) {
        if (onSeekingServer)
            onSeekingServer(seconds, done);
    };
    cn.setReconnectLimit(kDefaultReconnectLimit);
}

void Class1::cn_ConnectionLost(const DbError &e)
{
    // the server has rolled back whatever was open; nothing is pending any more
    lostTask_ = cn.reconnectGaveUp() ? QString() : PendingTask();
    lostAtCommit_ = committing_ && !lostTask_.isEmpty();
    // the rest of a task that lost its transaction must not run on a new connection
    // outside it: the reconnect waits until whoever tells the clerk resumes
    if (!lostTask_.isEmpty())
        cn.holdReconnect(true);
    connectStatus_ = false;
    AbandonAllWork();
    if (onConnectionLost)
        onConnectionLost(e);
}

void Class1::ResumeAfterLoss()
{
    lostTask_.clear();
    lostAtCommit_ = false;
    cn.holdReconnect(false);
}

Class1::~Class1()
{
    if (connectStatus_) {
        AbandonAllWork();
        cn.close();
    }
    forgetTransaction();
}

namespace {
std::function<void(const QString &, const QString &)> &refusalSink()
{
    static std::function<void(const QString &, const QString &)> sink;
    return sink;
}
}  // namespace

void Class1::setRefusalSink(std::function<void(const QString &text, const QString &title)> sink)
{
    refusalSink() = std::move(sink);
}

void Class1::refuse(const QString &text, const QString &title)
{
    if (refusalSink())
        refusalSink()(text, title);
    else
        std::fprintf(stderr, "%s: %s\n", qPrintable(title.trimmed()), qPrintable(text));
}

void Class1::CloseConnection()
{
    if (connectStatus_) {
        cn.close();
        connectStatus_ = false;
    }
}

qint16 Class1::ConnectToDataBase(const QString &User, const QString &Password, const QString &Server)
{
    if (loginDenied_) {
        refuse(QString::fromLatin1(MSG_DENIED), QStringLiteral("Error"));
        return 1;
    }
    cn.setConnectionTimeout(3);
    cn.setCursorLocation(3);
    // a ";" or brace in a name or password would otherwise end it early and let the rest
    // read as other keys ("ab;zz" logging in as "ab")
    const QString credentials = QStringLiteral("UID=") + ConnectionString::quoteValue(User) + QStringLiteral(";PWD=")
                                + ConnectionString::quoteValue(Password) + QStringLiteral(";");
    // A URI is one value: a ";" in it must not end it and let the rest read as other keys
    // (dropping the libpq parameters after it). Any other Server text goes to ODBC as
    // typed, where it may add attributes of its own ("dbhost;PORT=5432").
    QString serverClause;
    if (!Server.isEmpty())
        serverClause = QStringLiteral("SERVER=")
                       + (isPostgresUri(Server) ? ConnectionString::quoteValue(Server) : Server)
                       + QStringLiteral(";");
    const QString connectionString = serverClause + drivers_[size_t(driverIndex_ - 1)] + credentials;
    // kept for the record without the password
    lastConnectionString_ = ConnectionString::parse(connectionString).withoutPassword();
    lastLoginError_ = DbError{};
    if (cn.open(connectionString, QString(), QString())) {
        if (connectStatus_) {
            if (!databaseFits(User))
                return 1;
            userName_ = User;
            return 2;
        }
        return loginDenied_ ? 1 : 0;
    }
    qint16 result;
    const int native = cn.errors().isEmpty() ? 0 : cn.errors().first().nativeError;
    if (native == ORA_WRONG_PASSWORD) {
        refuse(QString::fromLatin1(MSG_BAD_LOGIN), QStringLiteral(" Error"));
        ++failedLogins_;
        result = 0;
    } else if (driverIndex_ < driverCount_) {
        ++driverIndex_;
        result = 0;
    } else {
        QString text = QString::fromLatin1(MSG_NO_LOGON);
        // a server that answered said why (too many sessions, no such database …): the
        // supervisor needs that, not a guess
        if (native != 0 && native != ora::NoListener)
            text += QStringLiteral("\r\n") + cn.errors().first().description;
        refuse(text, QStringLiteral(" Error"));
        result = 1;
    }
    if (failedLogins_ > 2)
        loginDenied_ = true;
    lastLoginError_ = cn.errors().value(0);
    cn.clearErrors();
    return result;
}

bool Class1::databaseFits(const QString &user)
{
    const schema::OpenCheck check = schema::checkDatabase(
        cn.database(), cn.engineName() == QLatin1String("embedded") ? schema::EngineKind::Sqlite : schema::EngineKind::Postgres);
    schemaVersion_ = check.version;
    if (check.verdict == schema::OpenCheck::Ready)
        return true;
    // the supervisor may still look at a database whose rules need repair; no clerk books
    // on one
    if (check.verdict == schema::OpenCheck::RulesMissing
        && user.compare(QLatin1String(schema::kSupervisor), Qt::CaseInsensitive) == 0) {
        refuse(check.message, QStringLiteral(" Warning"));
        return true;
    }
    // nothing is written to a database of another shape: the session ends before any task
    cn.close();
    connectStatus_ = false;
    lastLoginError_ = DbError{0, check.message, QString()};
    refuse(check.message, QStringLiteral(" Error"));
    return false;
}

bool Class1::ReadOnlySession()
{
    if (!connectStatus_ || !cn.engine())
        return false;
    QSqlDatabase db = cn.database();
    return cn.engine()->readOnly(db);
}

void Class1::FillText(TextSink &ListBox, const QString &QUery)
{
    ResultSet rs = cn.query(QUery);
    ListBox.setText(QString());
    ListBox.setText(QStringLiteral("Customer Id\tName\r\n"));
    QString text = ListBox.text();
    while (!rs.eof()) {
        text += rs.value(QStringLiteral("C_Id")).toString() + QStringLiteral("\t\t")
                + rs.value(QStringLiteral("c_Name")).toString() + QStringLiteral("\r\n");
        rs.moveNext();
    }
    ListBox.setText(text);
    rs.close();
}

void Class1::prepare(Command &cmd, const QString &text)
{
    cmd.setActiveConnection(&cn);
    cmd.setCommandType(adCmdText);
    cmd.setCommandText(text);
    cmd.clearParameters();
}

void Class1::SetupGetPlace()
{
    Command &c = SQLcmdGetPlace();
    prepare(c, QString::fromLatin1(SQL_GET_PLACE));
    c.appendParameter(QStringLiteral("l"), adtype::VarChar, 20);
}

void Class1::SetupGetExactPlace()
{
    Command &c = SQLcmdGetExactPlace();
    prepare(c, QString::fromLatin1(SQL_GET_EXACT_PLACE));
    c.appendParameter(QStringLiteral("eplace"), adtype::VarChar, 20);
}

void Class1::SetupGetPath(qint32 RID)
{
    prepare(SQLcmdGetPath(), QString::fromLatin1(SQL_GET_PATH_1) + QString::fromLatin1(SQL_GET_PATH_2)
                                 + QString::number(RID) + QString::fromLatin1(SQL_GET_PATH_3)
                                 + QString::fromLatin1(SQL_GET_PATH_4) + QString::fromLatin1(SQL_GET_PATH_5)
                                 + QString::fromLatin1(SQL_GET_PATH_6));
}

void Class1::SetupGetRouteId()
{
    Command &c = SQLcmdRouteID();
    prepare(c, QString::fromLatin1(SQL_ROUTE_ID));
    c.appendParameter(QStringLiteral("GRID"), adtype::VarChar, 25);
    c.appendParameter(QStringLiteral("Grid2"), adtype::VarChar, 25);
}

void Class1::SetupGetREID()
{
    Command &c = SQLcmdGetREID();
    prepare(c, QString::fromLatin1(SQL_GET_REID));
    c.appendParameter(QStringLiteral("e1"), adtype::VarChar, 10);
    c.appendParameter(QStringLiteral("place2"), adtype::VarChar, 10);
}

void Class1::SetupGetDistance()
{
    Command &c = SQLcmdGetDistance();
    prepare(c, QString::fromLatin1(SQL_GET_DISTANCE));
    c.appendParameter(QStringLiteral("rtid"), adtype::Numeric, 5);
    c.appendParameter(QStringLiteral("seq1"), adtype::Numeric, 5);
    c.appendParameter(QStringLiteral("seq2"), adtype::Numeric, 5);
}

void Class1::SetupGetFullSeats(qint32 r1, qint32 r2, qint32 iid)
{
    const QString a = QString::number(r1), b = QString::number(r2);
    prepare(SQLcmdGetFullSeats(),
            QString::fromLatin1(SQL_FULL_SEATS_1) + a + QString::fromLatin1(SQL_FULL_SEATS_2) + b
                + QString::fromLatin1(SQL_FULL_SEATS_3) + a + QString::fromLatin1(SQL_FULL_SEATS_4) + b
                + QString::fromLatin1(SQL_FULL_SEATS_5) + a + QString::fromLatin1(SQL_FULL_SEATS_2) + a
                + QString::fromLatin1(SQL_FULL_SEATS_6) + b + QString::fromLatin1(SQL_FULL_SEATS_2) + b
                + QString::fromLatin1(SQL_FULL_SEATS_7) + QString::number(iid));
}

void Class1::SetupMaxSeats()
{
    Command &c = SQLcmdGetMaxSeats();
    prepare(c, QString::fromLatin1(SQL_MAX_SEATS));
    c.appendParameter(QStringLiteral("maxseats"), adtype::VarChar, 16);
}

void Class1::SetupSetSeatMatrix()
{
    Command &c = SQLcmdSetSeatMatrix();
    prepare(c, QString::fromLatin1(SQL_SET_SEAT_MATRIX));
    c.appendParameter(QStringLiteral("iid"), adtype::Numeric, 12);
    c.appendParameter(QStringLiteral("rse1"), adtype::Numeric, 5);
    c.appendParameter(QStringLiteral("rse2"), adtype::Numeric, 5);
    c.appendParameter(QStringLiteral("seat"), adtype::Numeric, 4);
    c.appendParameter(QStringLiteral("CID"), adtype::Numeric, 13);
}

void Class1::SetupInstanceDetails()
{
    Command &c = SQLcmdGetInstanceDetails();
    prepare(c, QString::fromLatin1(SQL_INSTANCE_DETAILS));
    c.appendParameter(QStringLiteral("Place1"), adtype::VarChar, 10);
    c.appendParameter(QStringLiteral("Place2"), adtype::VarChar, 10);
    c.appendParameter(QStringLiteral("class"), adtype::Integer, 2);
    c.appendParameter(QStringLiteral("depdate"), adtype::VarChar, 30);
}

void Class1::setupGetUniqueCID() { prepare(SQLcmdGetUniqueCID(), QString::fromLatin1(SQL_UNIQUE_CID)); }

void Class1::setupGetUniqueID(const QString &seq_name)
{
    prepare(SQLcmdGetUniqueID(), QStringLiteral("SELECT ") + seq_name + QStringLiteral(".NEXTVAL FROM DUAL"));
}

void Class1::setupGetCustomerForDelete()
{
    Command &c = SQLcmdGetCustomerForDelete();
    prepare(c, QString::fromLatin1(SQL_CUSTOMER_FOR_DELETE));
    c.appendParameter(QStringLiteral("customers"), adtype::Numeric, 13);
}

void Class1::setupTicketDetails(qint32 CID)
{
    prepare(SQLcmdGetTicketDetails(), QString::fromLatin1(SQL_TICKET_DETAILS) + QString::number(CID));
}

void Class1::BeginTransaction()
{
    cn.beginTrans();
    inTransaction_ = true;
}

quint64 Class1::beginOwned(const QString &task, Transaction *holder)
{
    // a failed begin raises, and leaves nothing open
    BeginTransaction();
    holder_ = holder;
    ownerId_ = ++lastOwnerId_;
    ownerTask_ = task;
    return ownerId_;
}

void Class1::renameOwner(quint64 id, const QString &task)
{
    if (ownsTransaction(id))
        ownerTask_ = task;
}

QString Class1::PendingTask() const
{
    if (!inTransaction_)
        return QString();
    return ownerTask_.isEmpty() ? QStringLiteral("another task") : ownerTask_;
}

void Class1::forgetTransaction() noexcept
{
    inTransaction_ = false;
    ownerId_ = 0;
    ownerTask_.clear();
    // the holder keeps no pointer to a session that may go before it
    if (holder_)
        holder_->release();
}

void Class1::EndTransaction()
{
    if (inTransaction_) {
        committing_ = true;
        struct Done {
            bool &flag;
            ~Done() { flag = false; }
        } done{committing_};
        cn.commitTrans();
    }
    forgetTransaction();
}

void Class1::AbandonAllWork() noexcept
{
    // a connection that is gone took its transaction with it
    if (!connectStatus_)
        forgetTransaction();
    else
        RollBackTransaction();
}

void Class1::RollBackTransaction() noexcept
{
    if (!inTransaction_)
        return;
    try {
        cn.rollbackTrans();
        forgetTransaction();
    } catch (const DbException &e) {
        // a failed rollback leaves the flag set (AbandonAllWork retries); nothing is
        // raised. But a transaction the engine has already ended itself (SQLite does on a
        // full disk) is no longer open, and a flag left set would refuse every later task
        // for good.
        if (e.error().description.contains(QLatin1String("no transaction is active"), Qt::CaseInsensitive))
            forgetTransaction();
    } catch (...) {
    }
}

qint16 Class1::exec(const QString &QUery)
{
    try {
        cn.execute(QUery);
        lastExecError_.clear();
        return kExecOk;
    } catch (const DbException &e) {
        lastExecError_ = e.error().description;
        const int n = cn.errors().isEmpty() ? e.nativeError() : cn.errors().first().nativeError;
        // numbers beyond 16 bits would wrap into other meanings; report them as -1
        if (n == kExecOk || n < -32768 || n > 32767)
            return -1;
        return qint16(n);
    }
}

qint16 GetSegmentDistance(double routeId, double position)
{
    if (position == 1)
        return 0;
    Class1 &s = *DbSession;
    s.SetupGetDistance();
    Command &c = s.SQLcmdGetDistance();
    c.setValue(0, routeId);
    c.setValue(1, 1);
    c.setValue(2, position - 1);
    ResultSet rs = c.execute();
    return CInt(rs.value(0));
}

}  // namespace nbk::data
