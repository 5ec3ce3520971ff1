#pragma once
#include "reservation/screens/Screens.h"
#include "data/session/Transaction.h"
#include "ui/ScreenRegistry.h"
#include "data/session/RowTable.h"
#include "reservation/BookSeats.h"
#include "reservation/screens/frmCustomer.h"
#include "common/ReservationState.h"
#include "support/Procedures.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QList>
#include <QPushButton>

namespace nbk::test {

// The booking on run 70 of the shared route A-B-C-D (DbTest::seedRouteABCD).
class BookingTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        reservation::registerScreens();
        seedRouteABCD();
    }

    void TearDown() override
    {
        reservation::setFreeSeatsComputedHook({});
        session().AbandonAllWork();
        for (const char *name : {"frmCustomer", "frmReservation"})
            while (QWidget *w = findScreen(QString::fromLatin1(name))) {
                w->setObjectName(QString());
                w->close();
                w->deleteLater();
            }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DbTest::TearDown();
    }

    // The run search's rows for a journey on run 70's class and day, as the search
    // leaves them in request.SearchRows.
    void search(const QString &from, const QString &to)
    {
        request.OriginPlace = from;
        request.DestinationPlace = to;
        request.ClassIndex = 2;
        request.JourneyDateText = QStringLiteral("3-5-2003 23:50:00");
        session().SetupInstanceDetails();
        data::Command &c = session().SQLcmdGetInstanceDetails();
        c.setValue(0, request.OriginPlace);
        c.setValue(1, request.DestinationPlace);
        c.setValue(2, request.ClassIndex);
        c.setValue(3, request.JourneyDateText);
        request.SearchRows = c.execute().getRows();
        ASSERT_EQ(request.SearchRows.rowCount(), 1) << "run 70 not found for " << from.toStdString() << "->" << to.toStdString();
    }

    // the request the tests book from, and the copy the last booking handed back
    reservation::ReservationState request;
    reservation::ReservationState booked;
    void book() { booked = test::bookRow(request, 0); }

    // A committed reservation of one seat over segments s1..s2 of run 70.
    void hold(int seat, int s1, int s2, int cid) { hold(db(), seat, s1, s2, cid); }
    static void hold(TestDatabase &d, int seat, int s1, int s2, int cid)
    {
        if (d.scalar(QStringLiteral("SELECT count(*) FROM customer WHERE customer_id = %1").arg(cid)).toInt() == 0)
            d.exec(QStringLiteral("Insert INTO Customer values ( %1,70,SYSDATE,'Held',30,1,'M','A','D',0)").arg(cid));
        d.exec(QStringLiteral("INSERT INTO seat_matrix VALUES( 70 , %1 ,%2 , %3 , %4, 'r' )")
                   .arg(seat)
                   .arg(s1)
                   .arg(s2)
                   .arg(cid));
        // as a booking does: the run's counter keeps to its seats held
        d.exec("UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = 70");
    }

    QList<int> seatsOf(qint32 cid, bool committed)
    {
        const QString sql = QStringLiteral("SELECT seat_no FROM seat_matrix WHERE customer_id = %1 ORDER BY seat_no").arg(cid);
        data::ResultSet rs = committed ? db().query(sql) : session().GetCurrentConnection().query(sql);
        QList<int> seats;
        for (; !rs.eof(); rs.moveNext())
            seats << rs.value(0).toInt();
        return seats;
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }
    int freeSeatsOfRun() { return count(QStringLiteral("SELECT free_seats FROM bus_instance WHERE instance_id = 70")); }

    frmCustomer *customerScreen() { return findScreenAs<frmCustomer>(QStringLiteral("frmCustomer")); }

    // Nothing of a failed or abandoned booking is left, seen from another session.
    void expectNothingLeft(int customersBefore, int seatRowsBefore)
    {
        EXPECT_FALSE(session().IsInTransaction());
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), customersBefore);
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer WHERE name = '**TEMP**'")), 0);
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), seatRowsBefore);
        EXPECT_EQ(freeSeatsOfRun(), 40 - seatRowsBefore);  // the seats held are all on run 70
    }

    // Makes the database refuse every update of the table from now on.
    void refuseUpdatesOf(const QString &table)
    {
        if (GetParam() == EngineKind::Embedded) {
            db().exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE UPDATE ON %1 "
                                     "BEGIN SELECT RAISE(ABORT, 'ORA-20009: refused by the test'); END")
                          .arg(table));
        } else {
            db().exec(QStringLiteral("CREATE OR REPLACE FUNCTION nbk_test_refuse() RETURNS trigger AS $$ BEGIN "
                                     "RAISE EXCEPTION 'refused by the test'; END $$ LANGUAGE plpgsql"));
            db().exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE UPDATE ON %1 FOR EACH ROW "
                                     "EXECUTE FUNCTION nbk_test_refuse()")
                          .arg(table));
        }
    }

    static QStringList texts() { return test::MessageScript::texts(); }
    static const test::ShownMessage &lastMessage() { return test::MessageScript::shown().back(); }
};

}  // namespace nbk::test
