#pragma once
#include "reports/QStringPrint.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include <QList>
#include <QString>

namespace nbk::test {

// Route 5 runs Mysore -> Mandya -> Bangalore (stretches 1 and 2); runs 50 and 51 serve it
// with bus KA09 (30 seats), run 60 serves route 6 Mandya -> Bangalore with bus KA10.
class ReportsTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('MYS', 'Mysore')", "INSERT INTO PLACE VALUES('MAN', 'Mandya')",
                   "INSERT INTO PLACE VALUES('BAN', 'Bangalore')",
                   "INSERT INTO ROUTE_ELEMENT VALUES(11, 'MYS', 'MAN', 45)",
                   "INSERT INTO ROUTE_ELEMENT VALUES(12, 'MAN', 'BAN', 100)",
                   "INSERT INTO ROUTE VALUES( 5, 'MYS' , 'BAN', 3, 145, 1, 5, 180, NULL)",
                   "INSERT INTO ROUTE VALUES( 6, 'MAN' , 'BAN', 2, 100, 1, 5, 120, NULL)",
                   "INSERT INTO PATH_ORDER VALUES(5, 1, 11)", "INSERT INTO PATH_ORDER VALUES(5, 2, 12)",
                   "INSERT INTO PATH_ORDER VALUES(6, 1, 12)", "INSERT INTO BUS_INFO VALUES('KA09', 2, 30)",
                   "INSERT INTO BUS_INFO VALUES('KA10', 2, 30)"});
        run(50, 5, "05-03-2030 10:00:00", "KA09");
        run(51, 5, "06-03-2030 10:00:00", "KA09");
        run(60, 6, "07-03-2030 08:05:00", "KA10");
    }

    void run(int id, int route, const char *ddmmyyyy, const char *vehicle)
    {
        db().exec(QStringLiteral("INSERT INTO bus_instance values( %1, %2, TO_DATE('%3','DD-MM-YYYY HH24:MI:SS') , "
                                 "'tt' , 0 , '%4' , 2 , 30 )")
                      .arg(id)
                      .arg(route)
                      .arg(QLatin1String(ddmmyyyy))
                      .arg(QLatin1String(vehicle)));
    }

    // A finished reservation: the customer row and one seat row per seat over stretches
    // first to last.
    void book(int cid, int run, const QList<int> &seats, int first = 1, int last = 2,
              const QString &name = QStringLiteral("Ravi"))
    {
        db().exec(QStringLiteral("INSERT INTO CUSTOMER VALUES( %1, %2, TO_DATE('05-03-2030 10:00:00',"
                                 "'DD-MM-YYYY HH24:MI:SS'), '%3', 30, 98450, 'M', 'MYS', 'BAN', 120 )")
                      .arg(cid)
                      .arg(run)
                      .arg(name));
        for (int seat : seats)
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( %1, %2, %3, %4, %5, 'r' )")
                          .arg(run)
                          .arg(seat)
                          .arg(first)
                          .arg(last)
                          .arg(cid));
    }

    std::string shown() const { return MessageScript::texts().join(QLatin1Char('\n')).toStdString(); }
};

}  // namespace nbk::test
