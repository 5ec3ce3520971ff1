#include "ReportCommand.h"
#include "CounterLogin.h"

#include "data/session/Class1.h"
#include "data/engines/Engine.h"
#include "ui/prompt/Prompt.h"
#include "reports/BuildSeatChart.h"
#include "reports/DayStatementQueries.h"
#include "reports/DayStatementReport.h"
#include "reports/FillReports.h"
#include "reports/RefundSlip.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/engine/Renderer.h"

#include <QTextStream>
#include <optional>

namespace nbk::admin {

const char *const kReportUsage =
    "  nbk-admin report --database DATABASE --user USER --password PASSWORD --pdf FILE [--paper roll|a4]\n"
    "                   NAME [VALUE [LOGIN]]   (--paper: the ticket's, the refund slip's and the\n"
    "                   manifest's; an 80 mm roll unless a4)\n"
    "    NAME: ticket CUSTOMER_ID | refund-slip CUSTOMER_ID (its latest cancellation) | instance-tickets INSTANCE_NO | seat-matrix INSTANCE_ID |\n"
    "          route-map ROUTE_NO | accident REGISTRATION | manifest RUN | passenger-list | time-table |\n"
    "          day-statement YYYY-MM-DD [LOGIN]   (LOGIN: the one logged in unless the supervisor's)\n";

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Every message a screen would show goes to standard error, answered with its default button.
class StderrPrompt : public Prompt {
public:
    int ask(const QString &text, int style, const QString &title) override
    {
        ++shown;
        err() << (title.trimmed().isEmpty() ? QString() : title.trimmed() + QStringLiteral(": ")) << text << "\n";
        err().flush();
        return defaultAnswer(style);
    }
    int shown = 0;
};

// A request's outcome: the filled report, or nothing after its message.
std::optional<reports::FilledReport> fail(StderrPrompt &p, const std::optional<reports::Message> &m)
{
    if (m)
        p.ask(m->text, m->style, m->title);
    return std::nullopt;
}

std::optional<reports::FilledReport> build(data::Class1 &s, StderrPrompt &p, const QString &name, const QString &value,
                                           const QString &more, reports::Paper paper)
{
    using namespace reports;
    if (name == QLatin1String("day-statement")) {
        const DayStatementOutcome o = dayStatement(s, QDate::fromString(value, Qt::ISODate), more);
        return o.message ? fail(p, o.message) : fillDayStatement(o.statement);
    }
    if (name == QLatin1String("ticket")) {
        const CustomerTicketOutcome o = customerTicket(s, false, value);
        return o.message ? fail(p, o.message) : fillFullTicketReport(o.ticket, paper);
    }
    if (name == QLatin1String("refund-slip")) {
        const RefundSlipOutcome o = refundSlip(s, value);
        return o.message ? fail(p, o.message) : fillRefundSlip(o.slip, paper);
    }
    if (name == QLatin1String("instance-tickets")) {
        const InstanceTicketsOutcome o = instanceTickets(s, value);
        return o.message ? fail(p, o.message) : fillTicketReport(o.tickets);
    }
    if (name == QLatin1String("seat-matrix")) {
        const SeatChartOutcome o = buildSeatChart(s, value);
        return o.message ? fail(p, o.message) : fillSeatMatrix(o.chart);
    }
    if (name == QLatin1String("route-map")) {
        const RouteServiceOutcome o = routeService(s, value);
        for (const Notice &n : o.notices)
            p.ask(n.text, n.style, n.title);
        if (o.told || o.message)
            return fail(p, o.message);
        return fillRouteDetails(o.service);
    }
    if (name == QLatin1String("accident")) {
        const AccidentOutcome o = accidentPassengers(s, value);
        return o.message ? fail(p, o.message) : fillAccidentReport(o.passengers);
    }
    if (name == QLatin1String("manifest")) {
        const RunManifestOutcome o = runManifest(s, value);
        return o.message ? fail(p, o.message) : fillManifest(o.manifest, paper);
    }
    if (name == QLatin1String("passenger-list")) {
        const FixedReportOutcome o = passengerList(s);
        return o.message ? fail(p, o.message) : fillPassengerList(o.rows);
    }
    const FixedReportOutcome o = timeTable(s);
    return o.message ? fail(p, o.message) : fillTimeTable(o.rows);
}

}  // namespace

int runReport(const QStringList &args)
{
    QMap<QString, QString> options;
    QStringList positional;
    const QStringList withValue{QStringLiteral("--database"), QStringLiteral("--user"), QStringLiteral("--password"),
                                QStringLiteral("--pdf"), QStringLiteral("--paper")};
    for (int i = 0; i < args.size(); ++i) {
        if (withValue.contains(args[i]) && i + 1 < args.size())
            options.insert(args[i], args[i + 1]), ++i;
        else
            positional << args[i];
    }
    const QStringList names{QStringLiteral("ticket"), QStringLiteral("instance-tickets"), QStringLiteral("seat-matrix"),
                            QStringLiteral("route-map"), QStringLiteral("accident"), QStringLiteral("manifest"),
                            QStringLiteral("refund-slip"),
                            QStringLiteral("passenger-list"),
                            QStringLiteral("time-table"), QStringLiteral("day-statement")};
    const QString database = options.value(QStringLiteral("--database"));
    const QString pdf = options.value(QStringLiteral("--pdf"));
    const QString name = positional.value(0);
    const bool needsValue = names.indexOf(name) >= 0 && names.indexOf(name) < 7;
    const bool statement = name == QLatin1String("day-statement");
    const bool shapeOk = statement ? (positional.size() == 2 || positional.size() == 3)
                                         && QDate::fromString(positional[1], Qt::ISODate).isValid()
                                   : positional.size() == (needsValue ? 2 : 1);
    const QString paper = options.value(QStringLiteral("--paper"), QStringLiteral("roll"));
    const bool paperOk = paper == QLatin1String("roll") || paper == QLatin1String("a4");
    if (database.isEmpty() || pdf.isEmpty() || !names.contains(name) || !shapeOk || !paperOk) {
        err() << "usage:\n" << kReportUsage;
        err().flush();
        return 2;
    }

    StderrPrompt prompt;
    ui::setPrompt(&prompt);
    data::Class1 session;
    int rc = 1;
    if (counterLogin(session, database, options.value(QStringLiteral("--user")),
                     options.value(QStringLiteral("--password")))) {
        DbSession = &session;
        const std::optional<reports::FilledReport> r = build(session, prompt, name, positional.value(1), positional.value(2),
                  paper == QLatin1String("a4") ? reports::Paper::A4 : reports::Paper::Roll);
        if (r) {
            QString error;
            if (report::writePdf(r->layout, r->data, pdf, &error))
                rc = 0;
            else
                err() << "nbk-admin: " << error << "\n";
        }
        DbSession = nullptr;
        session.CloseConnection();
    } else if (prompt.shown == 0) {
        err() << "nbk-admin: the login failed\n";
    }
    ui::setPrompt(nullptr);
    err().flush();
    return rc;
}

}  // namespace nbk::admin
