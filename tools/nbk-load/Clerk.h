#pragma once
#include "LoadNetwork.h"
#include "LoadOptions.h"

#include "ui/prompt/Prompt.h"
#include "reservation/BookSeats.h"
#include "reservation/FareCategories.h"

#include <QJsonObject>
#include <QStringList>
#include <memory>
#include <vector>

namespace nbk::load {

// The boxes of one session, answered as a clerk would: Yes to every question (use the run
// offered, cancel the booking), OK to every message. Each text is kept for the task.
class ClerkPrompt : public Prompt {
public:
    int ask(const QString &text, int style, const QString &title) override;
    QStringList texts;
};

// What one session did.
struct SessionFigures {
    int bookings = 0, enquiries = 0, cancellations = 0, refusals = 0, errors = 0;
    int concessionSeats = 0;        // seats of saved bookings sold at a fare category
    int chargedCancellations = 0;   // cancellations that retained a charge
    // tasks cut short because the server went away (the session connects again)
    int interrupted = 0;
    double cpuMs = 0;  // the session's own CPU while it ran
    std::vector<double> latenciesMs;
    QStringList errorTexts;  // the first few, for the person running the load
    QJsonObject toJson() const;
    static SessionFigures fromJson(const QJsonObject &o);
};

// One clerk at a counter: logs in, then books, enquires and cancels through the screens
// until the deadline.
class Clerk {
public:
    explicit Clerk(const LoadOptions &o);
    // Logs in and reads the network; false with *error.
    bool start(QString *error);
    void runUntil(qint64 deadlineMs);
    // Books once and leaves the booking open at the customer details screen; prints
    // "HELD customer run seat,seat..." on standard output.
    bool holdOneBooking();
    // Closes the screens and the session (before the application goes).
    void finish();
    const SessionFigures &figures() const { return figures_; }

private:
    struct Held {
        qint32 customer;
        int seats;
    };
    void book();
    void enquire();
    void cancel();
    // Drives a journey through the request screen and whatever screens follow; stops
    // before the customer details' Ok when `finish` is false.
    bool request(const char *screen, const Journey &j, bool chooseRun, bool finish);
    // The same journey through the procedures alone (--headless): no widget is made.
    bool road(const Journey &j, bool chooseRun, bool enquiry, bool finish);
    void cancelByProcedure(qint32 customer, int seats);
    void fillJourney(QWidget *f, const Journey &j, bool chooseRun);
    // A mix of passengers on a database with fare categories: about a third of the seats at
    // a category, each with an age its category takes; every seat an adult's without them.
    QList<SeatCategoryChoice> pickCategories(const QList<qint16> &seats);
    void closeEverything();
    // A task's boxes: refusals the client handled, or an error.
    void judge(const QString &task, bool done);
    bool isRefusal(const QString &text) const;
    // After a task that met the server's loss: lets the session connect again, or logs in
    // anew when the reconnect gave up. True when the task met a loss.
    bool recoverFromLoss();
    void noteBooking(const QString &file, qint32 customer);

    LoadOptions options_;
    LoadNetwork network_;
    ClerkPrompt prompt_;
    std::mt19937 rng_;
    SessionFigures figures_;
    std::vector<Held> held_;
    int statementRefusals_ = 0;
    bool sawRuns_ = false;
    int losses_ = 0, lossesJudged_ = 0;
    std::shared_ptr<PendingBooking> heldBooking_;
    QList<FareCategory> categories_;  // read once at the start
    int pickedConcessions_ = 0;       // of the booking being saved  // a headless booking open at its details
};

}  // namespace nbk::load
