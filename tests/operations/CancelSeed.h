#pragma once
#include "support/TestDatabase.h"

#include <QList>

namespace nbk::test {

// Route 7 from Aa to Bb over a stretch of no length, so that a seat costs the class's
// base: 100 on run 70 (class 2, 32 seats), 195 on run 71 (class 3, 30 seats).
inline void seedCancelRuns(TestDatabase &db)
{
    db.exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
             "INSERT INTO ROUTE VALUES( 7, 'A' , 'B', 2, 250, 1, 5, 300, NULL)",
             "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 0)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
             "UPDATE class_type SET base = 100 WHERE class = 2", "UPDATE class_type SET base = 195 WHERE class = 3",
             "INSERT INTO BUS_INFO VALUES('R1', 2, 32)", "INSERT INTO BUS_INFO VALUES('R2', 3, 30)",
             "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2030 10:00:00',"
             "'DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 32 ) ",
             "INSERT INTO bus_instance values( 71, 7, TO_DATE('06-03-2030 10:00:00',"
             "'DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R2' , 3 , 30 ) "});
}

// A reservation as the booking leaves it: the customer row, one seat row per seat and the
// run's counter lowered.
inline void bookForCancel(TestDatabase &db, int cid, int run, const QList<int> &seats, int fare)
{
    db.exec(QStringLiteral("INSERT INTO CUSTOMER VALUES( %1, %2, TO_DATE('05-03-2030 10:00:00',"
                           "'DD-MM-YYYY HH24:MI:SS'), 'Ravi', 30, 12345, 'M', 'A', 'B', %3 )")
                .arg(cid)
                .arg(run)
                .arg(fare));
    for (int seat : seats)
        db.exec(QStringLiteral("INSERT INTO seat_matrix VALUES( %1, %2, 1, 1, %3, 'r' )").arg(run).arg(seat).arg(cid));
    db.exec(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats - %1 WHERE instance_id = %2")
                .arg(seats.size())
                .arg(run));
}

}  // namespace nbk::test
