#pragma once
#include "common/Notice.h"

#include <QDateTime>
#include <QString>
#include <vector>

// What the clerk typed to find a booking; any one box is enough, several narrow it.
struct BookingSearch {
    QString name;   // any part of the passenger's name, in any letter case
    QString phone;  // any part of the phone number
    QString date;   // the journey's day, DD/MM/YYYY
    QString run;    // the run (instance) number
};

struct FoundBooking {
    qint64 customerId = 0;
    QString name;
    QString phone;
    QDateTime journey;
    QString origin;
    QString destination;
    qint64 run = 0;
    int seats = 0;
    double fare = 0;
};

struct FindBookingsOutcome {
    std::vector<FoundBooking> found;  // latest journey first, at most kMostFound
    bool more = false;                // more bookings matched than are listed
    nbk::Notices notices;
    nbk::Focus focus = nbk::Focus::None;
};

constexpr int kMostFound = 50;

// The committed bookings that match, read only: a booking in progress on this session is
// left alone and the clerk is told to finish it first.
FindBookingsOutcome FindBookings(const BookingSearch &search);
// The list line of one booking.
QString foundBookingText(const FoundBooking &b);
