#include "data/schema/Schema.h"

#include "data/dialect/SqlText.h"

#include <QHash>
#include <QPair>
#include <cmath>
#include <vector>

namespace nbk::data::schema {

namespace {

struct DemoPlace {
    const char *code;
    const char *name;
};

// Codes as the route screen derives them: the first two letters and the next two.
const DemoPlace kPlaces[] = {
    {"Bang", "Bangalore"},   {"Belg", "Belgaum"},    {"Bell", "Bellary"},  {"Bida", "Bidar"},
    {"Bija", "Bijapur"},     {"Chic", "Chickmagalur"}, {"Chit", "Chitradurga"},
    {"Dava", "Davangere"},   {"Dhar", "Dharwad"},    {"Gulb", "Gulbarga"}, {"Hamp", "Hampi"},
    {"Hass", "Hassan"},      {"Kadu", "Kadur"},      {"Karw", "Karwar"},   {"Kola", "Kolar"},
    {"Mand", "Mandya"},      {"Mang", "Mangalore"},  {"Merc", "Mercera"},  {"Myso", "Mysore"},
    {"Nand", "Nandi Hills"}, {"Raic", "Raichur"},    {"Shim", "Shimoga"},  {"Tumk", "Tumkur"},
    {"Hubl", "Hubli"},       {"Arsi", "Arsikere"},
};

struct DemoRoute {
    std::vector<const char *> places;  // codes in route order
    std::vector<double> km;            // one per segment
    int fpi;
    double stopTime;
    int firstHour, firstMinute, interval;
    std::vector<int> classes;
};

const std::vector<DemoRoute> &routes()
{
    static const std::vector<DemoRoute> r = {
        {{"Bang", "Tumk", "Arsi", "Kadu", "Shim"}, {70, 105, 45, 95}, 2, 10, 5, 0, 60, {0, 1, 2, 3, 4}},
        {{"Shim", "Kadu", "Arsi", "Tumk", "Bang"}, {95, 45, 105, 70}, 2, 10, 5, 30, 60, {0, 1, 2, 3, 4}},
        {{"Bang", "Mand", "Myso"}, {100, 45}, 1, 5, 6, 0, 30, {0, 1, 2, 3}},
        {{"Myso", "Mand", "Bang"}, {45, 100}, 1, 5, 6, 0, 30, {0, 1, 2, 3}},
        {{"Bang", "Hass", "Mang"}, {185, 170}, 3, 15, 6, 30, 120, {1, 2, 3, 4}},
        {{"Mang", "Hass", "Bang"}, {170, 185}, 3, 15, 6, 30, 120, {1, 2, 3, 4}},
        {{"Bang", "Chit", "Dava", "Hubl", "Dhar", "Belg"}, {200, 75, 145, 20, 75}, 2, 10, 5, 0, 90, {1, 2, 3, 4}},
        {{"Belg", "Dhar", "Hubl", "Dava", "Chit", "Bang"}, {75, 20, 145, 75, 200}, 2, 10, 5, 0, 90, {1, 2, 3, 4}},
        {{"Bang", "Kola"}, {70}, 1, 0, 6, 0, 60, {0, 1}},
        {{"Kola", "Bang"}, {70}, 1, 0, 6, 30, 60, {0, 1}},
        {{"Bang", "Nand"}, {60}, 1, 0, 7, 0, 1440, {0, 2}},
        {{"Hubl", "Hamp", "Bell"}, {160, 60}, 2, 10, 7, 0, 240, {1, 2}},
        {{"Bija", "Gulb", "Bida"}, {160, 110}, 2, 10, 6, 0, 180, {1, 2}},
        {{"Raic", "Gulb"}, {150}, 2, 0, 8, 0, 240, {1}},
        {{"Myso", "Merc"}, {120}, 3, 0, 7, 30, 180, {0, 2}},
        {{"Hubl", "Karw"}, {165}, 3, 0, 6, 0, 240, {1, 3}},
        {{"Kadu", "Chic"}, {40}, 1, 0, 8, 0, 120, {0}},
    };
    return r;
}

QString num(double v) { return QString::number(v, 'g', 12); }

}  // namespace

QStringList referenceDataStatements()
{
    return {
        "INSERT INTO fuel_index VALUES (1, 0.25, 'Normal Consumption')",
        "INSERT INTO fuel_index VALUES (2, 0.35, 'Moderate Consumption')",
        "INSERT INTO fuel_index VALUES (3, 0.5, 'Heavy Consumption')",
        "INSERT INTO class_type VALUES (0, 5, 0.4, 'Shuttle')",
        "INSERT INTO class_type VALUES (1, 10, 0.6, 'Express')",
        "INSERT INTO class_type VALUES (2, 20, 0.8, 'Semi - Luxury')",
        "INSERT INTO class_type VALUES (3, 30, 1.1, 'Luxury')",
        "INSERT INTO class_type VALUES (4, 50, 1.5, 'Air - Bus')",
    };
}

QStringList demoDataStatements()
{
    QStringList s;
    for (const DemoPlace &p : kPlaces)
        s << QStringLiteral("INSERT INTO PLACE VALUES('%1', '%2')")
                 .arg(sqlText(QLatin1String(p.code)), sqlText(QLatin1String(p.name)));

    QHash<QString, int> elementIds;  // "from>to" -> reid
    int nextReid = 1;
    int routeId = 1;
    for (const DemoRoute &r : routes()) {
        std::vector<int> reids;
        double total = 0;
        for (size_t i = 0; i + 1 < r.places.size(); ++i) {
            const QString key = QLatin1String(r.places[i]) + QLatin1Char('>') + QLatin1String(r.places[i + 1]);
            if (!elementIds.contains(key)) {
                elementIds.insert(key, nextReid);
                s << QStringLiteral("INSERT INTO ROUTE_ELEMENT values(%1, '%2', '%3', %4)")
                         .arg(nextReid)
                         .arg(QLatin1String(r.places[i]), QLatin1String(r.places[i + 1]))
                         .arg(num(r.km[i]));
                ++nextReid;
            }
            reids.push_back(elementIds.value(key));
            total += r.km[i];
        }
        const int stops = int(r.places.size());
        // 50 km/h on the road plus the halts at the intermediate stops
        const double travel = std::nearbyint(total * 60.0 / 50.0 + (stops - 2) * r.stopTime);
        s << QStringLiteral("INSERT INTO ROUTE VALUES( %1, '%2' , '%3', %4, %5, %6, %7, %8, NULL)")
                 .arg(routeId)
                 .arg(QLatin1String(r.places.front()), QLatin1String(r.places.back()))
                 .arg(stops)
                 .arg(num(std::nearbyint(total)))
                 .arg(r.fpi)
                 .arg(num(r.stopTime))
                 .arg(num(travel));
        for (size_t k = 0; k < reids.size(); ++k)
            s << QStringLiteral("INSERT INTO PATH_ORDER VALUES( %1, %2, %3)").arg(routeId).arg(k + 1).arg(reids[k]);
        s << QStringLiteral("INSERT into Route_Frequency values (%1, 8, %2, %3, %4)")
                 .arg(routeId)
                 .arg(r.interval)
                 .arg(r.firstHour)
                 .arg(r.firstMinute);
        for (int c : r.classes)
            s << QStringLiteral("INSERT into service_class values(%1, 8, %2)").arg(routeId).arg(c);
        ++routeId;
    }

    // Vehicles of every class, 40 to 52 seats.
    static const int seats[] = {40, 44, 48, 52, 45, 50};
    int serial = 1001;
    for (int cls = 0; cls <= 4; ++cls)
        for (int i = 0; i < 6; ++i, ++serial)
            s << QStringLiteral("INSERT INTO bus_info VALUES ('KA01F%1', %2, %3)")
                     .arg(serial)
                     .arg(cls)
                     .arg(seats[(i + cls) % 6]);

    const QPair<const char *, const char *> stands[] = {
        {"Bangalore", "Kempegowda Bus Station"}, {"Mysore", "Suburban Bus Stand"},
        {"Mangalore", "Bejai Bus Stand"},        {"Shimoga", "Central Bus Stand"},
        {"Hubli", "Gokul Road Bus Stand"},       {"Belgaum", "Central Bus Stand"},
        {"Bijapur", "Central Bus Stand"},        {"Raichur", "Central Bus Stand"},
        {"Kolar", "Bus Stand"},                  {"Kadur", "Bus Stand"},
    };
    int stand = 1;
    for (const auto &st : stands)
        s << QStringLiteral("INSERT INTO bus_stand VALUES (%1, '%2', '%3')")
                 .arg(stand++)
                 .arg(sqlText(QLatin1String(st.first)), sqlText(QLatin1String(st.second)));

    const char *const names[] = {"Anand Rao", "Bhavana K", "Chandru M", "Deepa S", "Eshwar N",
                                 "Farida B", "Girish H", "Harini P", "Imran A", "Jayanthi R"};
    int id = 120;
    for (const char *n : names)
        s << QStringLiteral("INSERT INTO test1 VALUES (%1, '%2')").arg(id++).arg(sqlText(QLatin1String(n)));
    return s;
}

}  // namespace nbk::data::schema
