#pragma once
#include <QString>
#include <QStringList>

namespace nbk::data::schema {

struct UpgradeReport {
    int from = 0;
    int to = 0;
    QStringList steps;  // one line per step taken
    QString error;      // one line that says what to do; empty when it worked
};

// Brings an embedded file or a server database (the owner's postgresql:// URI) from any
// earlier version to the current one, one step per version, each in one transaction: a
// run stopped half-way leaves a whole version, and the next run goes on from there. The
// last step makes the rules, views and rights anew. A newer or a foreign database is
// refused with nothing changed. True when the database is now current (also when it was
// already).
bool upgradeDatabase(const QString &database, UpgradeReport *report);
bool upgradeEmbedded(const QString &path, UpgradeReport *report);
bool upgradeServer(const QString &uri, UpgradeReport *report);

}  // namespace nbk::data::schema
