#pragma once
#include <QString>

namespace nbk::data::schema {

struct EraseReport {
    int retentionDays = 0;
    int customers = 0;  // booking rows whose name and phone went
    int trailRows = 0;  // rows of the trail whose name and phone went
    QString error;      // one line that says what to do; empty when it worked
};

// Erases the names and phones of finished bookings kept longer than the corporation's
// retention period (nbk_settings.retention_days): of bookings whose journey lies that far
// back, from their rows and the trail, and of cancelled bookings (their rows gone) whose
// last change lies that far back, from the trail. Ids, runs, fares, seats and the trail's
// other values stay for the accounts. One transaction, as the database's owner (an
// embedded file's path or the owner's postgresql:// URI); a run that erased something
// leaves a trail row saying how much. A second run finds nothing to erase.
bool eraseExpired(const QString &database, EraseReport *report);

}  // namespace nbk::data::schema
