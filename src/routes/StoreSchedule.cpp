#include "routes/StoreSchedule.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"

#include <cmath>

namespace nbk::routes {

namespace {

const char *const MSG_FREQUENCY = "Error in frequency setting";
const char *const MSG_ALREADY_1 = "The Frequency for day ";
const char *const MSG_ALREADY_2 = " and this route has been already been set";
const char *const MSG_NO_DAYS = "No days are selected. Please select a day";
const char *const MSG_DAY_WITHOUT_CLASS =
    "Atleast one class should be selected for each day \r\n (There must be atleast one tick in each column )";
const char *const MSG_NO_CLASS = "Select atleast one class for atleast one day ";

const char *const SQL_DELETE_FREQUENCY = "DELETE Route_frequency where route_Id = ";
const char *const SQL_FREQUENCY = "INSERT into Route_Frequency values (";
const char *const SQL_DELETE_DAYS_1 = "DELETE route_frequency where route_id = ";
const char *const SQL_DELETE_DAYS_2 = " and day < 8";
const char *const SQL_DELETE_CLASSES = "Delete service_class where route_id = ";
const char *const SQL_CLASS = "INSERT into service_class values(";
const char *const SQL_DELETE_CLASS_DAYS_1 = "DELETE service_class where route_id = ";
const char *const SQL_DELETE_CLASS_DAYS_2 = " and day < 8 and class = ";

using nbk::data::kExecOk;

using nbk::data::L;

// Minutes between buses the run scheduler can plan with: above 0, at most a day.
bool usableInterval(const QString &typed, double &minutes)
{
    if (!IsNumeric(typed))
        return false;
    minutes = Val(typed);
    return std::isfinite(minutes) && minutes > 0 && minutes <= 1440;
}

}  // namespace

FrequencyPass storeFrequency(data::Class1 &s, bool editing, qint32 routeId, const std::array<DayEntry, 8> &days)
{
    FrequencyPass pass;
    const QString id = QString::number(routeId);
    bool anyDay = false;
    try {
        if (editing && !run(s, L(SQL_DELETE_FREQUENCY) + id, pass.result))
            return pass;
        for (int k = 7; k >= 0; --k) {
            const DayEntry &d = days.at(size_t(k));
            if (!d.ticked)
                continue;
            anyDay = true;
            pass.offeredDays << k;
            double interval = 0;
            if (!usableInterval(d.interval, interval)) {
                pass.result = Outcome::refuse(L(MSG_FREQUENCY), mb::Critical | mb::OKOnly, QStringLiteral("Error"),
                                              intervalFocus(k));
                return pass;
            }
            const qint16 r = s.exec(L(SQL_FREQUENCY) + id + QStringLiteral(", ") + QString::number(k + 1) +
                                    QStringLiteral(", ") + shortestDecimal(interval) + QStringLiteral(", ") +
                                    QString::number(d.hour) + QStringLiteral(", ") + QString::number(d.minute) +
                                    QStringLiteral(")"));
            if (r == data::ora::UniqueViolated) {
                pass.notices.push_back({L(MSG_ALREADY_1) + QString::number(k + 1) + L(MSG_ALREADY_2),
                                        mb::Information | mb::OKOnly, QStringLiteral("Information")});
            } else if (r != kExecOk) {
                pass.result = databaseFailure(s.LastExecError());
                return pass;
            }
            if (k == 7) {
                if (!run(s, L(SQL_DELETE_DAYS_1) + id + L(SQL_DELETE_DAYS_2), pass.result))
                    return pass;
                break;
            }
        }
    } catch (const std::exception &e) {
        pass.result = databaseFailure(QString::fromUtf8(e.what()));
        return pass;
    }
    if (!anyDay)
        pass.result = Outcome::refuse(L(MSG_NO_DAYS), mb::Information | mb::OKOnly, QStringLiteral("Error. "));
    return pass;
}

Outcome storeClasses(data::Class1 &s, bool editing, qint32 routeId, const std::array<bool, 40> &ticked,
                     const std::array<bool, 40> &enabled)
{
    for (int offset = 0; offset < 8; ++offset) {
        if (!enabled.at(size_t(offset)))
            continue;
        bool any = false;
        for (int c = 0; c < 5; ++c)
            any = any || ticked.at(size_t(offset + 8 * c));
        if (!any)
            return Outcome::refuse(L(MSG_DAY_WITHOUT_CLASS), mb::Critical | mb::OKOnly, QStringLiteral("Error"));
    }
    const QString id = QString::number(routeId);
    Outcome failure;
    bool written = false;
    try {
        if (editing && !run(s, L(SQL_DELETE_CLASSES) + id, failure))
            return failure;
        for (int c = 0; c < 5; ++c) {
            for (int i = 8 * c; i <= 8 * c + 7; ++i) {
                // a column hidden since it was loaded keeps its ticks on the screen; only the
                // columns of the days that run now are the supervisor's answer
                if (!ticked.at(size_t(i)) || !enabled.at(size_t(i)))
                    continue;
                const int day = 8 - (i - 8 * c);
                if (!run(s,
                         L(SQL_CLASS) + id + QStringLiteral(", ") + QString::number(day) + QStringLiteral(", ") +
                             QString::number(c) + QStringLiteral(")"),
                         failure))
                    return failure;
                written = true;
                if (day == 8) {
                    if (!run(s, L(SQL_DELETE_CLASS_DAYS_1) + id + L(SQL_DELETE_CLASS_DAYS_2) + QString::number(c),
                             failure))
                        return failure;
                    break;
                }
            }
        }
    } catch (const std::exception &e) {
        return databaseFailure(QString::fromUtf8(e.what()));
    }
    if (!written)
        return Outcome::refuse(L(MSG_NO_CLASS), mb::Critical | mb::OKOnly, QStringLiteral("Error"));
    return Outcome::done();
}

QString completionText(bool editing, qint32 routeId)
{
    return (editing ? QStringLiteral("Editing of Route ") : QStringLiteral("Addition of New Route ")) +
           QString::number(routeId) + QStringLiteral(" Complete. ");
}

}  // namespace nbk::routes
