#pragma once
// The route wizard's screens driven as the supervisor drives them, on both engines.
#include "routes/screens/Screens.h"
#include "reservation/ScreenFixture.h"

#include "common/Globals.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/StoreSchedule.h"
#include "routes/screens/frmAddRoute.h"

#include <QCheckBox>

namespace nbk::test {

class RouteTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        routes::registerScreens();
        setFlags(true, false, false);
        CurrentRouteId = 0;
    }

    void TearDown() override
    {
        for (const char *name : {"SetClass", "SetFrequency", "frmAddRoute", "dlgRouteSelect", "frmEditRoute"})
            closeScreen(QString::fromLatin1(name));
        ScreenTest::TearDown();
    }

    static void setFlags(bool add, bool edit, bool del)
    {
        RouteAddMode = add;
        RouteEditMode = edit;
        RouteDeleteMode = del;
    }

    // The menu's Add Route.
    frmAddRoute *openAdd()
    {
        setFlags(true, false, false);
        return qobject_cast<frmAddRoute *>(openScreen(QStringLiteral("frmAddRoute")));
    }

    static void enter(frmAddRoute *f, const QString &sequence, const QString &kms, const QString &stop = QStringLiteral("10"),
                      const QString &travel = QStringLiteral("300"))
    {
        f->txtr->setText(sequence);
        f->txtk->setText(kms);
        f->Text2->setText(stop);
        f->Text3->setText(travel);
    }

    frmAddRoute *entry() { return findScreenAs<frmAddRoute>(QStringLiteral("frmAddRoute")); }
    SetFrequency *frequency() { return entry() ? entry()->frequency() : nullptr; }
    SetClass *classes() { return entry() ? entry()->classes() : nullptr; }

    // Ticks the days (1 Monday .. 8 Everyday) with an interval and first bus, and presses Next.
    void days(std::initializer_list<int> dayNumbers, const QString &interval = QStringLiteral("60"), int hour = 6,
              int minute = 0)
    {
        SetFrequency *f = frequency();
        ASSERT_NE(f, nullptr);
        for (int d : dayNumbers) {
            const size_t k = size_t(d - 1);
            f->DayCheck[k]->setChecked(true);
            f->DayDetail[3 * k]->setEditText(interval);
            f->DayDetail[3 * k + 1]->setCurrentIndex(hour);
            f->DayDetail[3 * k + 2]->setCurrentIndex(minute);
        }
        f->Command2->click();
    }

    // Ticks class c on day d in the class grid.
    void tick(int c, int day, bool on = true) { classes()->Check1[size_t(routes::classBox(c, day))]->setChecked(on); }

    // Committed rows, as another counter sees them.
    int count(const QString &sql) { return db().scalar(sql).toInt(); }
    // Rows of a query as "a,b,c" lines, in the order returned.
    QStringList rows(const QString &sql)
    {
        QStringList out;
        for (data::ResultSet rs = db().query(sql); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldCount(); ++i)
                fields << rs.value(i).toString();
            out << fields.join(QLatin1Char(','));
        }
        return out;
    }
};

}  // namespace nbk::test
