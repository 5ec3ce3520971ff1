#pragma once
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <random>

namespace nbk::data {
class Connection;
}

namespace nbk::load {

// One route of the generated network as the clerks' requests need it.
struct LoadRoute {
    int id = 0;
    QStringList places;   // codes, in path order
    QList<double> km;     // of each element, in path order
    double totalKm = 0, travelMins = 0, stopMins = 0;
    int interval = 60, hour = 6, minute = 0;
    QList<int> classes;   // served, ascending; the first has runs made ahead
};

// A journey a clerk asks for: the places as typed and the wanted boarding moment.
struct Journey {
    QString from, to;  // full names
    QDateTime at;      // boarding, whole minutes
    int classIndex = 0;
    int seats = 1;
};

class LoadNetwork {
public:
    // Creates the network unless the database already holds one made by nbk-load; false
    // with *error when the database holds another network or refuses.
    static bool ensure(data::Connection &cn, QString *error, bool *created);
    // Reads the network back (every session does, so all share one picture of it).
    bool load(data::Connection &cn, QString *error);

    // A journey for a clerk: half of them on a few popular runs, so that clerks compete
    // for the same seats; some in a class without runs, which are made on demand.
    Journey pick(std::mt19937 &rng, const QDate &today) const;

    const QList<LoadRoute> &routes() const { return routes_; }

private:
    QList<LoadRoute> routes_;
    QHash<QString, QString> names_;  // code -> full name
};

// Minutes from a run's first stop to the boarding stop at path position `position`
// (1-based), as the run search rounds them.
int boardingOffset(const LoadRoute &r, int position);

}  // namespace nbk::load
